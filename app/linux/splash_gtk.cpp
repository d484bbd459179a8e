#include "app/linux/splash_gtk.h"

#include <gtk/gtk.h>

#include <exception>

#include "app/splash_layout.h"
#include "resources/resources.h"

namespace kestrum {
namespace {

// How long ShowSplash waits at most for the first frame to reach the screen.
constexpr gint64 kFirstFrameWaitUs = 500 * 1000;

struct Splash {
    GtkWidget* window = nullptr;
    cairo_surface_t* image = nullptr;
    guint closeTimer = 0;
    bool drawn = false;
};
Splash splash;  // main thread only

GdkPixbuf* DecodeSplashImage() {
    const std::string_view png = SplashPng();
    GInputStream* stream =
        g_memory_input_stream_new_from_data(png.data(), static_cast<gssize>(png.size()), nullptr);
    GdkPixbuf* pixbuf = gdk_pixbuf_new_from_stream(stream, nullptr, nullptr);
    g_object_unref(stream);
    return pixbuf;
}

PixelRect PrimaryWorkArea(GdkDisplay* display) {
    GdkMonitor* monitor = gdk_display_get_primary_monitor(display);
    if (monitor == nullptr && gdk_display_get_n_monitors(display) > 0) {
        monitor = gdk_display_get_monitor(display, 0);
    }
    if (monitor == nullptr) {
        return {};
    }
    GdkRectangle area;
    gdk_monitor_get_workarea(monitor, &area);
    return {area.x, area.y, area.width, area.height};
}

gboolean OnDraw(GtkWidget*, cairo_t* cr, gpointer) {
    // SOURCE, not OVER: the window's pixels become the image's, alpha included.
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_set_source_surface(cr, splash.image, 0, 0);
    cairo_paint(cr);
    splash.drawn = true;
    return TRUE;
}

gboolean OnButtonPress(GtkWidget* window, GdkEventButton* event, gpointer) {
    if (event->type == GDK_BUTTON_PRESS && event->button == GDK_BUTTON_PRIMARY) {
        gtk_window_begin_move_drag(GTK_WINDOW(window), static_cast<gint>(event->button),
                                   static_cast<gint>(event->x_root),
                                   static_cast<gint>(event->y_root), event->time);
    }
    return TRUE;
}

void OnDestroy(GtkWidget*, gpointer) {
    if (splash.closeTimer != 0) {
        g_source_remove(splash.closeTimer);
    }
    if (splash.image != nullptr) {
        cairo_surface_destroy(splash.image);
    }
    splash = Splash{};
}

gboolean OnCloseTimer(gpointer) {
    splash.closeTimer = 0;  // this source ends by returning G_SOURCE_REMOVE
    CloseSplash();
    return G_SOURCE_REMOVE;
}

// Lets the window be mapped and painted once: the start-up blocks the thread right after.
// Handling the events already pending is not always enough: under a window manager the map
// and expose events may still be on their way, and the frame clock paints a moment later.
void WaitForFirstFrame(GdkDisplay* display) {
    gdk_display_sync(display);
    const gint64 deadline = g_get_monotonic_time() + kFirstFrameWaitUs;
    for (;;) {
        while (gtk_events_pending()) {
            gtk_main_iteration();
        }
        if (splash.window == nullptr || splash.drawn || g_get_monotonic_time() >= deadline) {
            break;
        }
        g_usleep(2000);
    }
    gdk_display_sync(display);
}

bool CreateSplash(int maxWidth, int maxHeight, unsigned closeAfterMs) {
    GdkDisplay* display = gdk_display_get_default();
    if (display == nullptr) {
        return false;
    }
    GdkPixbuf* decoded = DecodeSplashImage();
    if (decoded == nullptr) {
        return false;
    }
    const PixelSize imageSize{gdk_pixbuf_get_width(decoded), gdk_pixbuf_get_height(decoded)};
    const auto placed = PlaceSplash(imageSize, {maxWidth, maxHeight}, PrimaryWorkArea(display));
    if (!placed) {
        g_object_unref(decoded);
        return false;
    }
    GdkPixbuf* shown = decoded;
    if (placed->width != imageSize.width || placed->height != imageSize.height) {
        shown =
            gdk_pixbuf_scale_simple(decoded, placed->width, placed->height, GDK_INTERP_BILINEAR);
        g_object_unref(decoded);
        if (shown == nullptr) {
            return false;
        }
    }
    cairo_surface_t* image = gdk_cairo_surface_create_from_pixbuf(shown, 1, nullptr);
    g_object_unref(shown);
    if (cairo_surface_status(image) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(image);
        return false;
    }

    GtkWidget* window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    splash.window = window;
    splash.image = image;
    g_signal_connect(window, "destroy", G_CALLBACK(OnDestroy), nullptr);

    GtkWindow* gtkWindow = GTK_WINDOW(window);
    gtk_window_set_title(gtkWindow, "Molvane Splash");
    gtk_window_set_decorated(gtkWindow, FALSE);
    gtk_window_set_keep_above(gtkWindow, TRUE);
    gtk_window_set_type_hint(gtkWindow, GDK_WINDOW_TYPE_HINT_SPLASHSCREEN);
    gtk_window_set_skip_taskbar_hint(gtkWindow, TRUE);
    gtk_window_set_skip_pager_hint(gtkWindow, TRUE);
    // The start-up's message boxes keep the keyboard.
    gtk_window_set_accept_focus(gtkWindow, FALSE);
    gtk_window_set_resizable(gtkWindow, FALSE);
    gtk_widget_set_size_request(window, placed->width, placed->height);
    gtk_window_move(gtkWindow, placed->x, placed->y);

    // Per-pixel transparency needs an RGBA visual, chosen before the window is realized.
    GdkScreen* screen = gtk_widget_get_screen(window);
    GdkVisual* rgba = gdk_screen_get_rgba_visual(screen);
    if (rgba != nullptr) {
        gtk_widget_set_visual(window, rgba);
    }
    gtk_widget_set_app_paintable(window, TRUE);
    gtk_widget_add_events(window, GDK_BUTTON_PRESS_MASK);
    g_signal_connect(window, "draw", G_CALLBACK(OnDraw), nullptr);
    g_signal_connect(window, "button-press-event", G_CALLBACK(OnButtonPress), nullptr);

    gtk_widget_realize(window);
    GdkCursor* cursor = gdk_cursor_new_from_name(display, "progress");
    if (cursor != nullptr) {
        gdk_window_set_cursor(gtk_widget_get_window(window), cursor);
        g_object_unref(cursor);
    }
    // Without a compositor the alpha channel is not blended with what lies beneath; cut the
    // window to the image's opaque part instead, so the desktop still shows around it.
    if (rgba == nullptr || !gdk_screen_is_composited(screen)) {
        cairo_region_t* opaque = gdk_cairo_region_create_from_surface(image);
        gtk_widget_shape_combine_region(window, opaque);
        cairo_region_destroy(opaque);
    }

    gtk_widget_show(window);
    splash.closeTimer = g_timeout_add(closeAfterMs, OnCloseTimer, nullptr);
    WaitForFirstFrame(display);
    return splash.window != nullptr;
}

}  // namespace

namespace splash_internal {

bool ShowSplashFor(int maxWidth, int maxHeight, unsigned closeAfterMs) {
    if (splash.window != nullptr) {
        return true;
    }
    try {
        if (CreateSplash(maxWidth, maxHeight, closeAfterMs)) {
            return true;
        }
    } catch (const std::exception&) {
        // An optional step: no splash, and the start-up goes on.
    }
    CloseSplash();
    return false;
}

GtkWidget* SplashWindow() {
    return splash.window;
}

}  // namespace splash_internal

bool ShowSplash(int maxWidth, int maxHeight) {
    return splash_internal::ShowSplashFor(maxWidth, maxHeight, kSplashCloseAfterMs);
}

void CloseSplash() {
    if (splash.window == nullptr) {
        return;
    }
    GtkWidget* window = splash.window;
    gtk_widget_destroy(window);  // OnDestroy stops the timer and clears the slot
    // Gone from the screen now, not at the next turn of the main loop, which may be far off.
    gdk_display_flush(gdk_display_get_default());
}

}  // namespace kestrum
