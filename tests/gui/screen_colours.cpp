// Counts pixels of the virtual display by colour, for GUI tests that check what a person
// sees rather than which windows exist.
//   screen_colours [--save FILE.png] RRGGBB[~TOLERANCE]@X0,Y0,X1,Y1 ...
// For each query, prints "<query> <count>": the pixels in the rectangle [X0,X1) x [Y0,Y1)
// whose red, green and blue each lie within TOLERANCE (default 0) of the colour. --save
// also writes the whole display as a PNG, for a person to look at.
#include <gdk/gdk.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

struct Query {
    int red = 0, green = 0, blue = 0, tolerance = 0;
    int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
};

bool ParseQuery(const char* text, Query& query) {
    unsigned colour = 0;
    int used = 0;
    if (std::sscanf(text, "%6x%n", &colour, &used) != 1 || used != 6)
        return false;
    query.red = static_cast<int>(colour >> 16);
    query.green = static_cast<int>((colour >> 8) & 0xFF);
    query.blue = static_cast<int>(colour & 0xFF);
    const char* rest = text + 6;
    if (*rest == '~') {
        char* end = nullptr;
        query.tolerance = static_cast<int>(std::strtol(rest + 1, &end, 10));
        rest = end;
    }
    return std::sscanf(rest, "@%d,%d,%d,%d", &query.x0, &query.y0, &query.x1, &query.y1) == 4;
}

long Count(GdkPixbuf* shot, Query query) {
    const int width = gdk_pixbuf_get_width(shot);
    const int height = gdk_pixbuf_get_height(shot);
    const int stride = gdk_pixbuf_get_rowstride(shot);
    const int channels = gdk_pixbuf_get_n_channels(shot);
    const guchar* pixels = gdk_pixbuf_read_pixels(shot);
    query.x0 = std::clamp(query.x0, 0, width);
    query.x1 = std::clamp(query.x1, 0, width);
    query.y0 = std::clamp(query.y0, 0, height);
    query.y1 = std::clamp(query.y1, 0, height);
    long count = 0;
    for (int y = query.y0; y < query.y1; ++y) {
        for (int x = query.x0; x < query.x1; ++x) {
            const guchar* p = pixels + y * stride + x * channels;
            if (std::abs(p[0] - query.red) <= query.tolerance &&
                std::abs(p[1] - query.green) <= query.tolerance &&
                std::abs(p[2] - query.blue) <= query.tolerance)
                ++count;
        }
    }
    return count;
}

}  // namespace

int main(int argc, char** argv) {
    gdk_init(&argc, &argv);
    int first = 1;
    const char* save = nullptr;
    if (argc >= 3 && std::strcmp(argv[1], "--save") == 0) {
        save = argv[2];
        first = 3;
    }
    GdkWindow* root = gdk_get_default_root_window();
    GdkPixbuf* shot = gdk_pixbuf_get_from_window(root, 0, 0, gdk_window_get_width(root),
                                                 gdk_window_get_height(root));
    if (shot == nullptr) {
        std::fprintf(stderr, "screen_colours: nothing to read from the display\n");
        return 1;
    }
    int status = 0;
    if (save != nullptr && !gdk_pixbuf_save(shot, save, "png", nullptr, nullptr)) {
        std::fprintf(stderr, "screen_colours: %s not saved\n", save);
        status = 1;
    }
    for (int i = first; i < argc; ++i) {
        Query query;
        if (!ParseQuery(argv[i], query)) {
            std::fprintf(stderr, "screen_colours: bad query %s\n", argv[i]);
            status = 2;
            continue;
        }
        std::printf("%s %ld\n", argv[i], Count(shot, query));
    }
    g_object_unref(shot);
    return status;
}
