// The player's window and the message boxes shown once it exists, read back from a virtual X
// screen as the learner sees them: the waiting text in its grey, laid out left to right so
// that it ends in "Loading...", and each box readable (its text in clear contrast with its
// background) with the icon its call asks for.
//
//   shell_window_check <screenshot-dir>

#include <gtk/gtk.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <string>
#include <tuple>

#include "app/linux/shell_windows_gtk.h"
#include "common/linux/toolkit_start_gtk.h"
#include "common/message_box.h"

namespace {

int failures = 0;

void Expect(bool condition, const std::string& what) {
    std::printf("%s %s\n", condition ? "ok  " : "FAIL", what.c_str());
    if (!condition)
        ++failures;
}

void RunLoopFor(int ms) {
    const gint64 end = g_get_monotonic_time() + ms * 1000LL;
    while (g_get_monotonic_time() < end) {
        while (gtk_events_pending())
            gtk_main_iteration();
        g_usleep(5000);
    }
}

using Colour = std::tuple<int, int, int>;

std::string Text(const Colour& c) {
    return "rgb(" + std::to_string(std::get<0>(c)) + "," + std::to_string(std::get<1>(c)) + "," +
           std::to_string(std::get<2>(c)) + ")";
}

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

// What the screen shows inside a rectangle: its most frequent colour (the background) and the
// colour that stands out most against it (the core of the glyphs).
struct Reading {
    Colour background;
    Colour ink;
    long inkPixels = 0;    // pixels in clear contrast (3:1 or more) with the background
    long otherPixels = 0;  // pixels of any colour but the background's
};

Reading Read(GdkPixbuf* shot, int x, int y, int width, int height) {
    std::map<Colour, long> counts;
    const int channels = gdk_pixbuf_get_n_channels(shot);
    const int stride = gdk_pixbuf_get_rowstride(shot);
    const guchar* pixels = gdk_pixbuf_read_pixels(shot);
    const auto at = [&](int px, int py) {
        const guchar* p = pixels + py * stride + px * channels;
        return Colour{p[0], p[1], p[2]};
    };
    x = std::max(0, x);
    y = std::max(0, y);
    width = std::min(width, gdk_pixbuf_get_width(shot) - x);
    height = std::min(height, gdk_pixbuf_get_height(shot) - y);
    for (int py = y; py < y + height; ++py)
        for (int px = x; px < x + width; ++px)
            ++counts[at(px, py)];
    Reading reading;
    long most = -1;
    for (const auto& [colour, count] : counts) {
        if (count > most) {
            most = count;
            reading.background = colour;
        }
    }
    double best = 0;
    for (const auto& [colour, count] : counts) {
        const double ratio = Contrast(colour, reading.background);
        if (ratio > best) {
            best = ratio;
            reading.ink = colour;
        }
        if (ratio >= 3.0)
            reading.inkPixels += count;
        if (colour != reading.background)
            reading.otherPixels += count;
    }
    return reading;
}

GdkPixbuf* Screenshot() {
    GdkWindow* root = gdk_get_default_root_window();
    gdk_display_sync(gdk_display_get_default());
    return gdk_pixbuf_get_from_window(root, 0, 0, gdk_window_get_width(root),
                                      gdk_window_get_height(root));
}

// The widget's rectangle on the screen.
GdkRectangle ScreenRect(GtkWidget* widget) {
    GtkWidget* top = gtk_widget_get_toplevel(widget);
    int x = 0;
    int y = 0;
    gtk_widget_translate_coordinates(widget, top, 0, 0, &x, &y);
    int originX = 0;
    int originY = 0;
    gdk_window_get_origin(gtk_widget_get_window(top), &originX, &originY);
    GtkAllocation allocation;
    gtk_widget_get_allocation(widget, &allocation);
    return {originX + x, originY + y, allocation.width, allocation.height};
}

GtkWidget* FindNamed(GtkWidget* widget, const char* name) {
    if (g_strcmp0(gtk_widget_get_name(widget), name) == 0)
        return widget;
    if (!GTK_IS_CONTAINER(widget))
        return nullptr;
    GtkWidget* found = nullptr;
    GList* children = gtk_container_get_children(GTK_CONTAINER(widget));
    for (GList* child = children; child && !found; child = child->next)
        found = FindNamed(GTK_WIDGET(child->data), name);
    g_list_free(children);
    return found;
}

void CheckWaitingText(GtkWidget* window, const std::string& dir) {
    GtkWidget* label = FindNamed(window, "kestrum-waiting-text");
    Expect(label && GTK_IS_LABEL(label), "the window shows its waiting text");
    if (!label)
        return;
    // Left to right: the Arabic words, then "... Loading...", whose last dot is its rightmost.
    const std::string text = gtk_label_get_text(GTK_LABEL(label));
    const std::size_t loading = text.find("Loading");
    const std::size_t lastDot = text.rfind('.');
    PangoLayout* layout = gtk_label_get_layout(GTK_LABEL(label));
    PangoRectangle loadingAt{};
    PangoRectangle dotAt{};
    pango_layout_index_to_pos(layout, static_cast<int>(loading), &loadingAt);
    pango_layout_index_to_pos(layout, static_cast<int>(lastDot), &dotAt);
    Expect(loading != std::string::npos && loadingAt.x < dotAt.x,
           "the waiting text reads \"Loading...\", its dots after the word (word at " +
               std::to_string(loadingAt.x / PANGO_SCALE) + ", last dot at " +
               std::to_string(dotAt.x / PANGO_SCALE) + ")");
    int textHeight = 0;
    pango_layout_get_pixel_size(layout, nullptr, &textHeight);

    GdkPixbuf* shot = Screenshot();
    gdk_pixbuf_save(shot, (dir + "/waiting-text.png").c_str(), "png", nullptr, nullptr);
    const GdkRectangle where = ScreenRect(label);
    const Reading reading = Read(shot, where.x, where.y, where.width, where.height);
    g_object_unref(shot);
    Expect(reading.background == Colour{0, 0, 0},
           "on the window's black (" + Text(reading.background) + ")");
    const auto [r, g, b] = reading.ink;
    Expect(std::abs(r - 200) <= 6 && std::abs(g - 200) <= 6 && std::abs(b - 200) <= 6,
           "in light grey rgb(200,200,200), not white (" + Text(reading.ink) + ")");
    Expect(textHeight >= 24 && textHeight <= 40,
           "at the waiting text's size (line " + std::to_string(textHeight) + " px)");
}

struct BoxCase {
    const char* name;
    kestrum::MessageIcon icon;
    const char* iconName;
    bool rightToLeft;
};

struct BoxState {
    const BoxCase* box = nullptr;
    std::string dir;
    bool seen = false;
};

gboolean InspectBox(gpointer data) {
    auto* state = static_cast<BoxState*>(data);
    GtkWidget* dialog = nullptr;
    GList* toplevels = gtk_window_list_toplevels();
    for (GList* item = toplevels; item; item = item->next) {
        if (GTK_IS_MESSAGE_DIALOG(item->data) && gtk_widget_get_mapped(GTK_WIDGET(item->data)))
            dialog = GTK_WIDGET(item->data);
    }
    g_list_free(toplevels);
    if (!dialog)
        return G_SOURCE_CONTINUE;
    RunLoopFor(300);
    state->seen = true;
    const std::string name = state->box->name;

    GdkPixbuf* shot = Screenshot();
    gdk_pixbuf_save(shot, (state->dir + "/box-" + name + ".png").c_str(), "png", nullptr, nullptr);
    GtkWidget* area = gtk_message_dialog_get_message_area(GTK_MESSAGE_DIALOG(dialog));
    const GdkRectangle text = ScreenRect(area);
    const Reading reading = Read(shot, text.x, text.y, text.width, text.height);
    const double ratio = Contrast(reading.ink, reading.background);
    char ratioText[32];
    std::snprintf(ratioText, sizeof ratioText, "%.1f", ratio);
    Expect(ratio >= 7.0 && reading.inkPixels >= 200,
           name + " box: text readable on its background (" + Text(reading.ink) + " on " +
               Text(reading.background) + ", contrast " + ratioText + ":1, " +
               std::to_string(reading.inkPixels) + " text pixels)");

    GtkWidget* image = FindNamed(dialog, "kestrum-message-icon");
    const char* iconName = nullptr;
    if (image && GTK_IS_IMAGE(image))
        gtk_image_get_icon_name(GTK_IMAGE(image), &iconName, nullptr);
    Expect(g_strcmp0(iconName, state->box->iconName) == 0,
           name + " box: carries the icon " + state->box->iconName);
    if (image) {
        const GdkRectangle icon = ScreenRect(image);
        const Reading drawn = Read(shot, icon.x, icon.y, icon.width, icon.height);
        Expect(drawn.otherPixels >= 500 && icon.width >= 32, name + " box: the icon is drawn (" +
                                                                 std::to_string(drawn.otherPixels) +
                                                                 " pixels of it)");
        // Where the system's boxes have it, also in a box whose text reads right to left.
        Expect(icon.x + icon.width <= text.x, name + " box: the icon stands left of the text");
    }
    g_object_unref(shot);
    gtk_dialog_response(GTK_DIALOG(dialog), GTK_RESPONSE_OK);
    return G_SOURCE_REMOVE;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: shell_window_check <screenshot-dir>\n");
        return 2;
    }
    const std::string dir = argv[1];
    g_mkdir_with_parents(dir.c_str(), 0755);
    if (!kestrum::StartToolkit(&argc, &argv)) {
        std::printf("no display\n");
        return 2;
    }

    GtkWidget* window = kestrum::CreateMainWindow();
    Expect(window != nullptr, "the main window opens");
    if (!window)
        return 1;
    RunLoopFor(1500);
    CheckWaitingText(window, dir);

    // Every kind of box, shown while the window (and its style) exists.
    const BoxCase boxes[] = {
        {"information", kestrum::MessageIcon::kInformation, "dialog-information", false},
        {"warning", kestrum::MessageIcon::kWarning, "dialog-warning", false},
        {"error", kestrum::MessageIcon::kError, "dialog-error", false},
        {"question", kestrum::MessageIcon::kQuestion, "dialog-question", false},
        {"server-message", kestrum::MessageIcon::kWarning, "dialog-warning", true},
    };
    for (const BoxCase& box : boxes) {
        BoxState state{&box, dir};
        const guint watch = g_timeout_add(100, InspectBox, &state);
        kestrum::MessageBoxRequest request;
        request.text =
            u"Failed to initialize WebView2.\n\nWebView2 initialization failed at "
            u"UserDataFolderWriteTest\nتعذر تشغيل المتصفح. يرجى المحاولة مرة أخرى.";
        request.caption = u"Kestrum - خطأ";
        request.icon = box.icon;
        request.buttons = box.icon == kestrum::MessageIcon::kQuestion
                              ? kestrum::MessageButtons::kYesNo
                              : kestrum::MessageButtons::kOk;
        request.rightToLeft = box.rightToLeft;
        kestrum::ShowMessageBox(request);
        if (!state.seen) {
            g_source_remove(watch);
            Expect(false, std::string(box.name) + " box: shown");
        }
    }
    gtk_widget_destroy(window);
    std::printf("%d failed\n", failures);
    return failures == 0 ? 0 : 1;
}
