// Reads pixels of a screenshot for the GUI tests.
//   pixel_check count  <png> <rrggbb> <tolerance> [x y width height]
//       how many pixels are within the tolerance of the colour (per channel)
//   pixel_check centre <png> <rrggbb> <tolerance>
//       "x y" of the middle of those pixels; fails when there are none
//   pixel_check differ <png> <png> x y width height
//       how many pixels of the rectangle differ by more than 32 in some channel
#include <gdk-pixbuf/gdk-pixbuf.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

struct Area {
    int x = 0, y = 0, width = 0, height = 0;
};

GdkPixbuf* Load(const char* path) {
    GError* error = nullptr;
    GdkPixbuf* image = gdk_pixbuf_new_from_file(path, &error);
    if (!image) {
        std::fprintf(stderr, "pixel_check: %s: %s\n", path, error ? error->message : "unreadable");
        std::exit(2);
    }
    return image;
}

Area Clip(GdkPixbuf* image, Area area) {
    const int width = gdk_pixbuf_get_width(image), height = gdk_pixbuf_get_height(image);
    area.x = std::clamp(area.x, 0, width);
    area.y = std::clamp(area.y, 0, height);
    area.width = std::clamp(area.width, 0, width - area.x);
    area.height = std::clamp(area.height, 0, height - area.y);
    return area;
}

const guchar* Pixel(GdkPixbuf* image, int x, int y) {
    return gdk_pixbuf_read_pixels(image) + y * gdk_pixbuf_get_rowstride(image) +
           x * gdk_pixbuf_get_n_channels(image);
}

bool Near(const guchar* pixel, unsigned long colour, int tolerance) {
    const int wanted[3] = {static_cast<int>((colour >> 16) & 0xff),
                           static_cast<int>((colour >> 8) & 0xff), static_cast<int>(colour & 0xff)};
    for (int c = 0; c < 3; ++c) {
        if (std::abs(pixel[c] - wanted[c]) > tolerance)
            return false;
    }
    return true;
}

Area AreaFrom(char** argv, int first, int argc, GdkPixbuf* image) {
    if (argc < first + 4)
        return {0, 0, gdk_pixbuf_get_width(image), gdk_pixbuf_get_height(image)};
    return Clip(image, {std::atoi(argv[first]), std::atoi(argv[first + 1]),
                        std::atoi(argv[first + 2]), std::atoi(argv[first + 3])});
}

}  // namespace

int main(int argc, char** argv) {
    const std::string command = argc > 1 ? argv[1] : "";
    if ((command == "count" || command == "centre") && argc >= 5) {
        GdkPixbuf* image = Load(argv[2]);
        const unsigned long colour = std::strtoul(argv[3], nullptr, 16);
        const int tolerance = std::atoi(argv[4]);
        const Area area = AreaFrom(argv, 5, argc, image);
        long count = 0, sumX = 0, sumY = 0;
        for (int y = area.y; y < area.y + area.height; ++y) {
            for (int x = area.x; x < area.x + area.width; ++x) {
                if (Near(Pixel(image, x, y), colour, tolerance)) {
                    ++count;
                    sumX += x;
                    sumY += y;
                }
            }
        }
        g_object_unref(image);
        if (command == "count") {
            std::printf("%ld\n", count);
            return 0;
        }
        if (count == 0)
            return 1;
        std::printf("%ld %ld\n", sumX / count, sumY / count);
        return 0;
    }
    if (command == "differ" && argc >= 8) {
        GdkPixbuf* first = Load(argv[2]);
        GdkPixbuf* second = Load(argv[3]);
        const Area area = Clip(second, AreaFrom(argv, 4, argc, first));
        long count = 0;
        for (int y = area.y; y < area.y + area.height; ++y) {
            for (int x = area.x; x < area.x + area.width; ++x) {
                const guchar* a = Pixel(first, x, y);
                const guchar* b = Pixel(second, x, y);
                if (std::abs(a[0] - b[0]) > 32 || std::abs(a[1] - b[1]) > 32 ||
                    std::abs(a[2] - b[2]) > 32)
                    ++count;
            }
        }
        g_object_unref(first);
        g_object_unref(second);
        std::printf("%ld\n", count);
        return 0;
    }
    std::fprintf(stderr,
                 "usage: pixel_check count|centre <png> <rrggbb> <tolerance> [x y w h]\n"
                 "       pixel_check differ <png> <png> x y w h\n");
    return 2;
}
