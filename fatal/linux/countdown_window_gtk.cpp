#include "fatal/linux/countdown_window_gtk.h"

#include <pango/pangocairo.h>

#include <cmath>
#include <string>

#include "common/text_encoding.h"

#if __has_include("resources/resources.h")
#include "resources/resources.h"
#define KESTRUM_COUNTDOWN_HAS_ICON 1
#else
#define KESTRUM_COUNTDOWN_HAS_ICON 0
#endif

namespace kestrum {
namespace {

constexpr const char* kInterfaceFonts = "Segoe UI, DejaVu Sans, sans-serif";
constexpr const char* kMonospaceFonts = "Consolas, DejaVu Sans Mono, monospace";
// The 1 pixel frame of the popup; the client area lies inside it.
constexpr int kBorder = 1;
constexpr std::uint32_t kBorderColour = 0x646464;

void SetColour(cairo_t* cr, std::uint32_t rgb) {
    cairo_set_source_rgb(cr, ((rgb >> 16) & 0xFF) / 255.0, ((rgb >> 8) & 0xFF) / 255.0,
                         (rgb & 0xFF) / 255.0);
}

PangoLayout* LayoutFor(cairo_t* cr, const CountdownText& item) {
    PangoLayout* layout = pango_cairo_create_layout(cr);
    PangoFontDescription* font = pango_font_description_from_string(
        item.font == CountdownFont::kMonospace ? kMonospaceFonts : kInterfaceFonts);
    pango_font_description_set_absolute_size(font, item.pixelHeight * PANGO_SCALE);
    pango_font_description_set_weight(font, item.bold ? PANGO_WEIGHT_BOLD : PANGO_WEIGHT_NORMAL);
    pango_layout_set_font_description(layout, font);
    pango_font_description_free(font);
    if (item.rightToLeft) {
        pango_layout_set_auto_dir(layout, FALSE);
        pango_context_set_base_dir(pango_layout_get_context(layout), PANGO_DIRECTION_RTL);
        pango_layout_context_changed(layout);
    }
    const std::string text = Utf16ToUtf8(item.text);
    pango_layout_set_text(layout, text.c_str(), static_cast<int>(text.size()));
    pango_layout_set_alignment(layout, PANGO_ALIGN_CENTER);
    if (item.flow == CountdownFlow::kWrapped) {
        pango_layout_set_width(layout, item.box.Width() * PANGO_SCALE);
        pango_layout_set_wrap(layout, PANGO_WRAP_WORD_CHAR);
    } else {
        pango_layout_set_single_paragraph_mode(layout, TRUE);
        if (item.ellipsisAtEnd) {
            pango_layout_set_width(layout, item.box.Width() * PANGO_SCALE);
            pango_layout_set_ellipsize(layout, PANGO_ELLIPSIZE_END);
        }
    }
    return layout;
}

int MeasuredHeight(cairo_t* cr, const CountdownText& item) {
    PangoLayout* layout = LayoutFor(cr, item);
    int width = 0;
    int height = 0;
    pango_layout_get_pixel_size(layout, &width, &height);
    g_object_unref(layout);
    return height;
}

void DrawText(cairo_t* cr, const CountdownText& item) {
    PangoLayout* layout = LayoutFor(cr, item);
    int width = 0;
    int height = 0;
    pango_layout_get_pixel_size(layout, &width, &height);
    // A layout without a width is placed by hand; one with a width centres itself in it.
    const int x = pango_layout_get_width(layout) < 0
                      ? item.box.left + (item.box.Width() - width) / 2
                      : item.box.left;
    const int y =
        item.centredVertically ? item.box.top + (item.box.Height() - height) / 2 : item.box.top;
    cairo_save(cr);
    cairo_rectangle(cr, item.box.left, item.box.top, item.box.Width(), item.box.Height());
    cairo_clip(cr);
    SetColour(cr, item.colour);
    cairo_move_to(cr, x, y);
    pango_cairo_show_layout(cr, layout);
    cairo_restore(cr);
    g_object_unref(layout);
}

GdkPixbuf* IconImage() {
#if KESTRUM_COUNTDOWN_HAS_ICON
    static GdkPixbuf* const icon = [] {
        const std::string_view png = IconPng();
        GdkPixbufLoader* loader = gdk_pixbuf_loader_new_with_type("png", nullptr);
        GdkPixbuf* image = nullptr;
        if (loader != nullptr &&
            gdk_pixbuf_loader_write(loader, reinterpret_cast<const guchar*>(png.data()), png.size(),
                                    nullptr) &&
            gdk_pixbuf_loader_close(loader, nullptr)) {
            GdkPixbuf* full = gdk_pixbuf_loader_get_pixbuf(loader);
            if (full != nullptr)
                image = gdk_pixbuf_scale_simple(full, 64, 64, GDK_INTERP_BILINEAR);
        }
        if (loader != nullptr)
            g_object_unref(loader);
        return image;
    }();
    return icon;
#else
    return nullptr;
#endif
}

void DrawIcon(cairo_t* cr, const LayoutRect& box) {
    if (GdkPixbuf* icon = IconImage()) {
        gdk_cairo_set_source_pixbuf(cr, icon, box.left, box.top);
        cairo_paint(cr);
        return;
    }
    // Without the icon image: a warning disc of the same size.
    const double radius = box.Width() / 2.0;
    cairo_arc(cr, box.left + radius, box.top + radius, radius - 2, 0, 2 * M_PI);
    SetColour(cr, 0xE94560);
    cairo_fill(cr);
    CountdownText mark;
    mark.box = box;
    mark.text = u"!";
    mark.pixelHeight = 44;
    mark.bold = true;
    mark.colour = 0xFFFFFF;
    mark.centredVertically = true;
    DrawText(cr, mark);
}

gboolean OnDraw(GtkWidget* widget, cairo_t* cr, gpointer data) {
    const auto* content = static_cast<const CountdownContent*>(data);
    const int width = gtk_widget_get_allocated_width(widget);
    const int height = gtk_widget_get_allocated_height(widget);
    SetColour(cr, kBorderColour);
    cairo_paint(cr);
    cairo_translate(cr, kBorder, kBorder);
    cairo_rectangle(cr, 0, 0, width - 2 * kBorder, height - 2 * kBorder);
    cairo_clip(cr);
    DrawCountdown(cr, *content, width - 2 * kBorder);
    return TRUE;
}

gboolean OnButtonPress(GtkWidget* widget, GdkEventButton* event, gpointer) {
    if (event->type == GDK_BUTTON_PRESS && event->button == GDK_BUTTON_PRIMARY) {
        gtk_window_begin_move_drag(
            GTK_WINDOW(gtk_widget_get_toplevel(widget)), static_cast<gint>(event->button),
            static_cast<gint>(event->x_root), static_cast<gint>(event->y_root), event->time);
    }
    return TRUE;
}

}  // namespace

void DrawCountdown(cairo_t* cr, const CountdownContent& content, int clientWidth) {
    const CountdownScene unmeasured = LayoutCountdown(content, clientWidth, 0, 0);
    const CountdownScene scene = LayoutCountdown(
        content, clientWidth, MeasuredHeight(cr, unmeasured.texts[kCountdownEnglishTextIndex]),
        MeasuredHeight(cr, unmeasured.texts[kCountdownArabicTextIndex]));

    SetColour(cr, scene.background);
    cairo_paint(cr);
    DrawIcon(cr, scene.icon);

    cairo_set_line_width(cr, 1);
    SetColour(cr, scene.ruleColour);
    cairo_move_to(cr, scene.ruleLeft, scene.ruleY + 0.5);
    cairo_line_to(cr, scene.ruleRight, scene.ruleY + 0.5);
    cairo_stroke(cr);

    const LayoutRect& circle = scene.circle;
    cairo_save(cr);
    cairo_translate(cr, circle.left + circle.Width() / 2.0, circle.top + circle.Height() / 2.0);
    cairo_scale(cr, 1.0, static_cast<double>(circle.Height()) / circle.Width());
    cairo_arc(cr, 0, 0, (circle.Width() - scene.circlePenWidth) / 2.0, 0, 2 * M_PI);
    cairo_restore(cr);
    SetColour(cr, scene.circleFill);
    cairo_fill_preserve(cr);
    cairo_set_line_width(cr, scene.circlePenWidth);
    SetColour(cr, scene.circleLine);
    cairo_stroke(cr);

    const LayoutRect& box = scene.codeBox;
    SetColour(cr, scene.codeBoxFill);
    cairo_rectangle(cr, box.left, box.top, box.Width(), box.Height());
    cairo_fill(cr);
    cairo_set_line_width(cr, 1);
    SetColour(cr, scene.codeBoxFrame);
    cairo_rectangle(cr, box.left + 0.5, box.top + 0.5, box.Width() - 1, box.Height() - 1);
    cairo_stroke(cr);

    for (const CountdownText& item : scene.texts)
        DrawText(cr, item);
}

GtkWidget* CreateCountdownWindow(const CountdownContent* content) {
    GdkDisplay* display = gdk_display_get_default();
    if (display == nullptr)
        return nullptr;
    GtkWidget* window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    if (window == nullptr)
        return nullptr;
    GtkWindow* asWindow = GTK_WINDOW(window);
    const std::string title = Utf16ToUtf8(kCountdownWindowTitle);
    gtk_window_set_title(asWindow, title.c_str());
    gtk_window_set_decorated(asWindow, FALSE);
    gtk_window_set_resizable(asWindow, FALSE);
    gtk_window_set_type_hint(asWindow, GDK_WINDOW_TYPE_HINT_UTILITY);
    gtk_window_set_skip_taskbar_hint(asWindow, TRUE);
    gtk_window_set_skip_pager_hint(asWindow, TRUE);
    gtk_window_set_keep_above(asWindow, TRUE);

    GdkMonitor* monitor = gdk_display_get_primary_monitor(display);
    if (monitor == nullptr)
        monitor = gdk_display_get_monitor(display, 0);
    if (monitor != nullptr) {
        GdkRectangle screen;
        gdk_monitor_get_geometry(monitor, &screen);
        gtk_window_move(asWindow, screen.x + (screen.width - kCountdownWindowWidth) / 2,
                        screen.y + (screen.height - kCountdownWindowHeight) / 2);
    }

    GtkWidget* area = gtk_drawing_area_new();
    gtk_widget_set_size_request(area, kCountdownWindowWidth, kCountdownWindowHeight);
    gtk_widget_add_events(area, GDK_BUTTON_PRESS_MASK);
    g_signal_connect(area, "draw", G_CALLBACK(OnDraw), const_cast<CountdownContent*>(content));
    g_signal_connect(area, "button-press-event", G_CALLBACK(OnButtonPress), nullptr);
    gtk_container_add(GTK_CONTAINER(window), area);
    gtk_widget_show_all(window);
    gtk_window_present(asWindow);
    return window;
}

}  // namespace kestrum
