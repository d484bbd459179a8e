// Saves what the virtual display shows as a PNG: screenshot <file.png>
#include <gdk/gdk.h>

#include <cstdio>

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: screenshot <file.png>\n");
        return 2;
    }
    gdk_init(&argc, &argv);
    GdkWindow* root = gdk_get_default_root_window();
    const int width = gdk_window_get_width(root);
    const int height = gdk_window_get_height(root);
    GdkPixbuf* shot = gdk_pixbuf_get_from_window(root, 0, 0, width, height);
    if (!shot) {
        std::fprintf(stderr, "screenshot: nothing to read from the display\n");
        return 1;
    }
    GError* error = nullptr;
    const gboolean saved = gdk_pixbuf_save(shot, argv[1], "png", &error, nullptr);
    if (!saved)
        std::fprintf(stderr, "screenshot: %s\n", error ? error->message : "not saved");
    g_clear_error(&error);
    g_object_unref(shot);
    return saved ? 0 : 1;
}
