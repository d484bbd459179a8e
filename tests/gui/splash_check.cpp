// Shows the splash on a virtual X screen and reads the screen back: the splash must land
// where the layout puts it, at that size, with the image's pixels where the image is opaque
// and the desktop where it is transparent, and must leave no trace once closed.
//
//   splash_check <x> <y> <width> <height> <screenshot-dir>

#include <X11/extensions/XTest.h>
#include <gdk/gdkx.h>
#include <gtk/gtk.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "app/linux/splash_gtk.h"
#include "common/linux/toolkit_start_gtk.h"
#include "resources/resources.h"

namespace {

int failures = 0;

void Fail(const std::string& what) {
    std::printf("FAIL: %s\n", what.c_str());
    ++failures;
}

void Expect(bool condition, const std::string& what) {
    if (!condition) {
        Fail(what);
    }
}

struct Rect {
    int x, y, width, height;
    bool Contains(int px, int py) const {
        return px >= x && py >= y && px < x + width && py < y + height;
    }
};

GdkPixbuf* Screenshot() {
    GdkWindow* root = gdk_get_default_root_window();
    gdk_display_sync(gdk_display_get_default());
    return gdk_pixbuf_get_from_window(root, 0, 0, gdk_window_get_width(root),
                                      gdk_window_get_height(root));
}

void Save(GdkPixbuf* shot, const std::string& dir, const char* name) {
    const std::string path = dir + "/" + name;
    if (!gdk_pixbuf_save(shot, path.c_str(), "png", nullptr, nullptr)) {
        std::printf("could not save %s\n", path.c_str());
    }
}

const guchar* Pixel(GdkPixbuf* pixbuf, int x, int y) {
    return gdk_pixbuf_read_pixels(pixbuf) + y * gdk_pixbuf_get_rowstride(pixbuf) +
           x * gdk_pixbuf_get_n_channels(pixbuf);
}

bool Close(const guchar* a, const guchar* b, int tolerance) {
    for (int i = 0; i < 3; ++i) {
        if (std::abs(static_cast<int>(a[i]) - static_cast<int>(b[i])) > tolerance) {
            return false;
        }
    }
    return true;
}

// The image as the splash should show it, at the expected size.
GdkPixbuf* ExpectedImage(int width, int height) {
    const std::string_view png = kestrum::SplashPng();
    GInputStream* stream =
        g_memory_input_stream_new_from_data(png.data(), static_cast<gssize>(png.size()), nullptr);
    GdkPixbuf* image = gdk_pixbuf_new_from_stream(stream, nullptr, nullptr);
    g_object_unref(stream);
    if (gdk_pixbuf_get_width(image) != width || gdk_pixbuf_get_height(image) != height) {
        GdkPixbuf* scaled = gdk_pixbuf_scale_simple(image, width, height, GDK_INTERP_BILINEAR);
        g_object_unref(image);
        image = scaled;
    }
    return image;
}

// Compares the screen with the desktop before the splash and with the image inside `where`.
// Opaque image pixels must show as they are, transparent ones the desktop; half-transparent
// edges are left out, their look depends on compositing.
void CheckScreen(const char* stage, GdkPixbuf* shot, GdkPixbuf* desktop, GdkPixbuf* image,
                 const Rect* where) {
    const int width = gdk_pixbuf_get_width(shot);
    const int height = gdk_pixbuf_get_height(shot);
    long imageMismatches = 0;
    long desktopMismatches = 0;
    long opaqueChecked = 0;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const guchar* seen = Pixel(shot, x, y);
            if (where != nullptr && where->Contains(x, y)) {
                const guchar* wanted = Pixel(image, x - where->x, y - where->y);
                const int alpha = gdk_pixbuf_get_has_alpha(image) ? wanted[3] : 255;
                if (alpha == 255) {
                    ++opaqueChecked;
                    if (!Close(seen, wanted, 2)) {
                        if (imageMismatches++ < 3) {
                            std::printf("%s: (%d,%d) shows %d,%d,%d, image has %d,%d,%d\n", stage,
                                        x, y, seen[0], seen[1], seen[2], wanted[0], wanted[1],
                                        wanted[2]);
                        }
                    }
                    continue;
                }
                if (alpha != 0) {
                    continue;
                }
            }
            if (!Close(seen, Pixel(desktop, x, y), 0)) {
                if (desktopMismatches++ < 3) {
                    std::printf("%s: desktop changed at (%d,%d)\n", stage, x, y);
                }
            }
        }
    }
    Expect(imageMismatches == 0,
           std::string(stage) + ": " + std::to_string(imageMismatches) + " image pixels wrong");
    Expect(desktopMismatches == 0,
           std::string(stage) + ": " + std::to_string(desktopMismatches) + " desktop pixels wrong");
    if (where != nullptr) {
        Expect(opaqueChecked > where->width * where->height / 2,
               std::string(stage) + ": too few opaque pixels to judge");
    }
}

void RunLoopFor(int ms) {
    const gint64 end = g_get_monotonic_time() + ms * 1000LL;
    while (g_get_monotonic_time() < end) {
        while (gtk_events_pending()) {
            gtk_main_iteration();
        }
        g_usleep(5000);
    }
}

// Runs the main loop until the splash is gone or `limitMs` passed; returns the time taken.
gint64 RunLoopUntilClosed(int limitMs) {
    const gint64 start = g_get_monotonic_time();
    while (kestrum::splash_internal::SplashWindow() != nullptr &&
           g_get_monotonic_time() - start < limitMs * 1000LL) {
        while (gtk_events_pending()) {
            gtk_main_iteration();
        }
        g_usleep(5000);
    }
    return (g_get_monotonic_time() - start) / 1000;
}

int ToplevelCount() {
    GList* toplevels = gtk_window_list_toplevels();
    const int count = static_cast<int>(g_list_length(toplevels));
    g_list_free(toplevels);
    return count;
}

}  // namespace

int main(int argc, char** argv) {
    setvbuf(stdout, nullptr, _IOLBF, 0);
    if (argc != 6) {
        std::printf("usage: %s <x> <y> <width> <height> <screenshot-dir>\n", argv[0]);
        return 2;
    }
    if (!kestrum::StartToolkit(&argc, &argv)) {
        std::printf("no display\n");
        return 2;
    }
    const Rect expected{std::atoi(argv[1]), std::atoi(argv[2]), std::atoi(argv[3]),
                        std::atoi(argv[4])};
    const std::string dir = argv[5];
    g_mkdir_with_parents(dir.c_str(), 0755);
    using kestrum::splash_internal::SplashWindow;

    // A coloured desktop: black would not tell a transparent pixel from an unblended one.
    Display* display = gdk_x11_display_get_xdisplay(gdk_display_get_default());
    XSetWindowBackground(display, gdk_x11_get_default_root_xwindow(), 0x2E8B57);
    XClearWindow(display, gdk_x11_get_default_root_xwindow());
    GdkPixbuf* desktop = Screenshot();
    GdkPixbuf* image = ExpectedImage(expected.width, expected.height);
    Save(desktop, dir, "0-desktop.png");

    // Closing when there is no splash does nothing.
    kestrum::CloseSplash();

    std::printf("show\n");
    Expect(kestrum::ShowSplash(700, 450), "ShowSplash shows a splash");
    GtkWidget* window = SplashWindow();
    Expect(window != nullptr, "the splash window exists");
    // No main loop runs from here on: ShowSplash alone must have put it on the screen.
    GdkPixbuf* shown = Screenshot();
    Save(shown, dir, "1-shown.png");
    CheckScreen("shown", shown, desktop, image, &expected);
    g_object_unref(shown);

    std::printf("show again\n");
    const int toplevels = ToplevelCount();
    Expect(kestrum::ShowSplash(700, 450), "a second ShowSplash reports the splash");
    Expect(SplashWindow() == window, "a second ShowSplash keeps the same window");
    Expect(ToplevelCount() == toplevels, "a second ShowSplash makes no window");

    std::printf("drag\n");
    if (window != nullptr) {
        // A real press and moves of the pointer (XTest); without a window manager GTK moves
        // the window itself.
        const int grabX = expected.x + expected.width / 2;
        const int grabY = expected.y + expected.height / 2;
        XTestFakeMotionEvent(display, -1, grabX, grabY, CurrentTime);
        RunLoopFor(50);
        XTestFakeButtonEvent(display, 1, True, CurrentTime);
        RunLoopFor(100);
        for (int step = 1; step <= 10; ++step) {
            XTestFakeMotionEvent(display, -1, grabX - 4 * step, grabY - 3 * step, CurrentTime);
            RunLoopFor(30);
        }
        XTestFakeButtonEvent(display, 1, False, CurrentTime);
        RunLoopFor(200);
        int left = 0;
        int top = 0;
        gdk_window_get_root_origin(gtk_widget_get_window(window), &left, &top);
        std::printf("dragged from %d,%d to %d,%d\n", expected.x, expected.y, left, top);
        Expect(left == expected.x - 40 && top == expected.y - 30,
               "a drag moves the splash with the pointer");
        GdkPixbuf* dragged = Screenshot();
        Save(dragged, dir, "2-dragged.png");
        const Rect moved{left, top, expected.width, expected.height};
        CheckScreen("dragged", dragged, desktop, image, &moved);
        g_object_unref(dragged);
    }

    std::printf("close\n");
    kestrum::CloseSplash();
    Expect(SplashWindow() == nullptr, "CloseSplash clears the splash");
    GdkPixbuf* closed = Screenshot();
    Save(closed, dir, "3-closed.png");
    CheckScreen("closed", closed, desktop, image, nullptr);
    g_object_unref(closed);
    kestrum::CloseSplash();

    std::printf("timer\n");
    Expect(kestrum::splash_internal::ShowSplashFor(700, 450, 300), "shown with a short timer");
    const gint64 tookMs = RunLoopUntilClosed(3000);
    std::printf("closed by its timer after %lld ms\n", static_cast<long long>(tookMs));
    Expect(SplashWindow() == nullptr, "the timer closes the splash");
    Expect(tookMs >= 250, "the timer does not close the splash early");
    GdkPixbuf* timedOut = Screenshot();
    CheckScreen("timed out", timedOut, desktop, image, nullptr);
    g_object_unref(timedOut);

    std::printf("stale timer\n");
    // A closed splash's timer must not close the next one.
    Expect(kestrum::splash_internal::ShowSplashFor(700, 450, 200), "shown with a short timer");
    kestrum::CloseSplash();
    Expect(kestrum::ShowSplash(700, 450), "shown again");
    RunLoopFor(600);
    Expect(SplashWindow() != nullptr, "the earlier splash's timer leaves the new one alone");
    kestrum::CloseSplash();

    g_object_unref(image);
    g_object_unref(desktop);
    std::printf(failures == 0 ? "PASS\n" : "%d failure(s)\n", failures);
    return failures == 0 ? 0 : 1;
}
