// What the screen shows inside a rectangle, for the GUI test scripts: its most frequent colour
// (the background), the colour that stands out most against it (the core of the glyphs), the
// contrast between the two and how many pixels stand out clearly.
//
//   screen_reading <x> <y> <width> <height>
//   -> background R,G,B ink R,G,B contrast N.N pixels N
#include <gdk/gdk.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <tuple>

namespace {

using Colour = std::tuple<int, int, int>;

double Luminance(const Colour& c) {
    const auto channel = [](int value) {
        const double v = value / 255.0;
        return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(std::get<0>(c)) + 0.7152 * channel(std::get<1>(c)) +
           0.0722 * channel(std::get<2>(c));
}

double Contrast(const Colour& a, const Colour& b) {
    const double la = Luminance(a);
    const double lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 5) {
        std::fprintf(stderr, "usage: screen_reading <x> <y> <width> <height>\n");
        return 2;
    }
    gdk_init(&argc, &argv);
    GdkWindow* root = gdk_get_default_root_window();
    int x = std::max(0, std::atoi(argv[1]));
    int y = std::max(0, std::atoi(argv[2]));
    const int width = std::min(std::atoi(argv[3]), gdk_window_get_width(root) - x);
    const int height = std::min(std::atoi(argv[4]), gdk_window_get_height(root) - y);
    if (width <= 0 || height <= 0) {
        std::fprintf(stderr, "screen_reading: the rectangle is off the screen\n");
        return 1;
    }
    GdkPixbuf* shot = gdk_pixbuf_get_from_window(root, x, y, width, height);
    if (!shot) {
        std::fprintf(stderr, "screen_reading: nothing to read from the display\n");
        return 1;
    }
    std::map<Colour, long> counts;
    const int channels = gdk_pixbuf_get_n_channels(shot);
    const int stride = gdk_pixbuf_get_rowstride(shot);
    const guchar* pixels = gdk_pixbuf_read_pixels(shot);
    for (int py = 0; py < gdk_pixbuf_get_height(shot); ++py) {
        for (int px = 0; px < gdk_pixbuf_get_width(shot); ++px) {
            const guchar* p = pixels + py * stride + px * channels;
            ++counts[Colour{p[0], p[1], p[2]}];
        }
    }
    g_object_unref(shot);
    Colour background;
    long most = -1;
    for (const auto& [colour, count] : counts) {
        if (count > most) {
            most = count;
            background = colour;
        }
    }
    Colour ink = background;
    double best = 1;
    long standing = 0;
    for (const auto& [colour, count] : counts) {
        const double ratio = Contrast(colour, background);
        if (ratio > best) {
            best = ratio;
            ink = colour;
        }
        if (ratio >= 3.0)
            standing += count;
    }
    std::printf("background %d,%d,%d ink %d,%d,%d contrast %.1f pixels %ld\n",
                std::get<0>(background), std::get<1>(background), std::get<2>(background),
                std::get<0>(ink), std::get<1>(ink), std::get<2>(ink), best, standing);
    return 0;
}
