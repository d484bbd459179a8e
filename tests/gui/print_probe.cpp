// Drives the printer picker and the print job under a virtual display for print_job_test.sh.
//   pick ACTION...              shows the picker over a window, acts on it, prints
//                               "CHOSEN:<name>" (PROBE_PRINTERS="Office*|Archive" gives
//                               the list, "*" marking the default; otherwise the spooler's)
//   print REQUESTS ACTION...    a web view with a small page asks REQUESTS times to be
//                               printed, all at once; the same actions answer each picker;
//                               prints one "RESULT:<json>" line per message the page would
//                               receive (PROBE_PAGE=URI shows that document instead)
//   print-apart REQUESTS ACTION...  the same, each request once the one before is answered
// Actions, one every 300 ms once the picker shows:
//   print cancel             click the button       escape enter down   press the key
//   close                    the close box          click:N dblclick:N  on row N
//   parts                    prints "PARTS:" and the visible parts of the dialog
//   shot:FILE                the dialog as PNG       run:COMMAND         a shell command
//   pixel:X,Y                prints "PIXEL:X,Y=RRGGBB" of the dialog
//   hold                     presses Print without releasing it
// Exit codes: 0 done, 3 the picker did not close after the actions, 4 bad arguments,
// 5 the page's messages did not all arrive in time.

#include <gdk/gdk.h>
#include <gtk/gtk.h>
#include <webkit2/webkit2.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "common/linux/toolkit_start_gtk.h"
#include "common/text_encoding.h"
#include "printing/linux/print_job_webkit.h"
#include "printing/linux/printer_picker_gtk.h"

namespace {

using namespace kestrum;

std::vector<std::string> gActions;
std::size_t gNextAction = 0;
GtkWidget* gPicker = nullptr;
int gPickersSeen = 0;
guint gCloseDeadline = 0;

GtkWidget* FindNamed(GtkWidget* widget, const char* name) {
    if (g_strcmp0(gtk_widget_get_name(widget), name) == 0) {
        return widget;
    }
    if (!GTK_IS_CONTAINER(widget)) {
        return nullptr;
    }
    GList* children = gtk_container_get_children(GTK_CONTAINER(widget));
    GtkWidget* found = nullptr;
    for (GList* child = children; child != nullptr && found == nullptr; child = child->next) {
        found = FindNamed(GTK_WIDGET(child->data), name);
    }
    g_list_free(children);
    return found;
}

bool Shown(const char* name) {
    GtkWidget* widget = FindNamed(gPicker, name);
    return widget != nullptr && gtk_widget_is_visible(widget) && gtk_widget_get_mapped(widget);
}

void PressKey(guint keyval) {
    GdkWindow* window = gtk_widget_get_window(gPicker);
    gdk_test_simulate_key(window, -1, -1, keyval, GdkModifierType(0), GDK_KEY_PRESS);
    gdk_test_simulate_key(window, -1, -1, keyval, GdkModifierType(0), GDK_KEY_RELEASE);
}

// Clicks (or double-clicks) `widget` at (x, y) of its own area, through the display.
void Click(GtkWidget* widget, int x, int y, int times) {
    int wx = 0;
    int wy = 0;
    if (widget == nullptr || !gtk_widget_translate_coordinates(widget, gPicker, x, y, &wx, &wy)) {
        std::printf("NO TARGET\n");
        return;
    }
    GdkWindow* window = gtk_widget_get_window(gPicker);
    for (int i = 0; i < times; ++i) {
        gdk_test_simulate_button(window, wx, wy, 1, GdkModifierType(0), GDK_BUTTON_PRESS);
        gdk_test_simulate_button(window, wx, wy, 1, GdkModifierType(0), GDK_BUTTON_RELEASE);
    }
}

void ClickButton(const char* name) {
    GtkWidget* button = FindNamed(gPicker, name);
    if (button == nullptr) {
        std::printf("NO BUTTON %s\n", name);
        return;
    }
    Click(button, gtk_widget_get_allocated_width(button) / 2,
          gtk_widget_get_allocated_height(button) / 2, 1);
}

void ClickRow(int row, int times) {
    GtkWidget* list = FindNamed(gPicker, kPrinterListWidgetName);
    if (list == nullptr) {
        std::printf("NO LIST\n");
        return;
    }
    Click(list, gtk_widget_get_allocated_width(list) / 2, row * 44 + 22, times);
}

void SaveShot(const std::string& file) {
    GdkWindow* window = gtk_widget_get_window(gPicker);
    GdkPixbuf* shot = gdk_pixbuf_get_from_window(window, 0, 0, gdk_window_get_width(window),
                                                 gdk_window_get_height(window));
    GError* error = nullptr;
    if (shot == nullptr || !gdk_pixbuf_save(shot, file.c_str(), "png", &error, nullptr)) {
        std::printf("SHOT FAILED %s\n", error != nullptr ? error->message : "");
    }
    std::printf("SIZE:%dx%d\n", gdk_window_get_width(window), gdk_window_get_height(window));
    if (error != nullptr) {
        g_error_free(error);
    }
    if (shot != nullptr) {
        g_object_unref(shot);
    }
}

void Act(const std::string& action) {
    std::printf("ACTION:%s\n", action.c_str());
    if (action == "print") {
        ClickButton(kPrintButtonWidgetName);
    } else if (action == "cancel") {
        ClickButton(kCancelButtonWidgetName);
    } else if (action == "escape") {
        PressKey(GDK_KEY_Escape);
    } else if (action == "enter") {
        PressKey(GDK_KEY_Return);
    } else if (action == "down") {
        PressKey(GDK_KEY_Down);
    } else if (action == "close") {
        // What the window manager sends for the close box.
        GdkEvent* event = gdk_event_new(GDK_DELETE);
        event->any.window = GDK_WINDOW(g_object_ref(gtk_widget_get_window(gPicker)));
        event->any.send_event = TRUE;
        gtk_main_do_event(event);
        gdk_event_free(event);
    } else if (action.rfind("click:", 0) == 0) {
        ClickRow(std::atoi(action.c_str() + 6), 1);
    } else if (action.rfind("dblclick:", 0) == 0) {
        ClickRow(std::atoi(action.c_str() + 9), 2);
    } else if (action == "parts") {
        std::string parts;
        for (const char* name : {kPrinterListWidgetName, kNoPrinterNoticeWidgetName,
                                 kPrintButtonWidgetName, kCancelButtonWidgetName}) {
            if (Shown(name)) {
                parts += parts.empty() ? "" : ",";
                parts += name;
            }
        }
        std::printf("PARTS:%s\n", parts.c_str());
    } else if (action == "hold") {
        // Print held down, not released: the pressed look.
        GtkWidget* button = FindNamed(gPicker, kPrintButtonWidgetName);
        int wx = 0;
        int wy = 0;
        if (button != nullptr &&
            gtk_widget_translate_coordinates(button, gPicker, 10, 10, &wx, &wy))
            gdk_test_simulate_button(gtk_widget_get_window(gPicker), wx, wy, 1, GdkModifierType(0),
                                     GDK_BUTTON_PRESS);
    } else if (action.rfind("pixel:", 0) == 0) {
        int x = 0;
        int y = 0;
        if (std::sscanf(action.c_str() + 6, "%d,%d", &x, &y) == 2) {
            GdkPixbuf* pixel =
                gdk_pixbuf_get_from_window(gtk_widget_get_window(gPicker), x, y, 1, 1);
            if (pixel != nullptr) {
                const guchar* rgb = gdk_pixbuf_read_pixels(pixel);
                std::printf("PIXEL:%d,%d=%02X%02X%02X\n", x, y, rgb[0], rgb[1], rgb[2]);
                g_object_unref(pixel);
            }
        }
    } else if (action.rfind("shot:", 0) == 0) {
        SaveShot(action.substr(5));
    } else if (action.rfind("run:", 0) == 0) {
        const int status = std::system(action.substr(4).c_str());
        std::printf("RUN STATUS:%d\n", status);
    } else {
        std::printf("UNKNOWN ACTION %s\n", action.c_str());
    }
    std::fflush(stdout);
}

GtkWidget* FindPicker() {
    GList* windows = gtk_window_list_toplevels();
    GtkWidget* found = nullptr;
    for (GList* w = windows; w != nullptr; w = w->next) {
        const char* title = gtk_window_get_title(GTK_WINDOW(w->data));
        if (g_strcmp0(title, kPrinterPickerTitle) == 0 &&
            gtk_widget_get_mapped(GTK_WIDGET(w->data)))
            found = GTK_WIDGET(w->data);
    }
    g_list_free(windows);
    return found;
}

// Runs inside the picker's own loop: waits for it to show, then acts.
gboolean DriveTick(gpointer) {
    GtkWidget* picker = FindPicker();
    if (picker == nullptr) {
        gPicker = nullptr;
        return G_SOURCE_CONTINUE;
    }
    if (picker != gPicker) {
        gPicker = picker;
        // A later picker may reuse the address of an earlier one.
        g_signal_connect(picker, "destroy",
                         G_CALLBACK(+[](GtkWidget*, gpointer) { gPicker = nullptr; }), nullptr);
        gNextAction = 0;
        ++gPickersSeen;
        return G_SOURCE_CONTINUE;  // one more tick for its first frame
    }
    if (gNextAction < gActions.size()) {
        Act(gActions[gNextAction++]);
    }
    return G_SOURCE_CONTINUE;
}

void Drive(const std::vector<std::string>& actions) {
    gActions = actions;
    g_timeout_add(300, DriveTick, nullptr);
}

// After the actions the picker must be gone; a picker still open is a failure, not a hang.
void ArmCloseDeadline() {
    gCloseDeadline = g_timeout_add(
        static_cast<guint>(300 * (gActions.size() + 3) + 3000),
        [](gpointer) -> gboolean {
            std::printf("PICKER STILL OPEN\n");
            std::fflush(stdout);
            std::_Exit(3);
        },
        nullptr);
}

std::vector<PrinterEntry> ListFromEnvironment(const char* text) {
    std::vector<PrinterEntry> printers;
    std::string rest = text;
    while (!rest.empty()) {
        const std::size_t bar = rest.find('|');
        std::string name = rest.substr(0, bar);
        rest = bar == std::string::npos ? "" : rest.substr(bar + 1);
        const bool isDefault = !name.empty() && name.back() == '*';
        if (isDefault) {
            name.pop_back();
        }
        printers.push_back(PrinterEntry{Utf8ToUtf16(name), isDefault});
    }
    return printers;
}

GtkWidget* OwnerWindow() {
    GtkWidget* owner = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    gtk_window_set_title(GTK_WINDOW(owner), "Print probe");
    gtk_window_set_default_size(GTK_WINDOW(owner), 900, 700);
    gtk_window_move(GTK_WINDOW(owner), 0, 0);
    return owner;
}

int Pick(const std::vector<std::string>& actions) {
    GtkWidget* owner = OwnerWindow();
    gtk_widget_show_all(owner);
    Drive(actions);
    ArmCloseDeadline();
    const char* list = std::getenv("PROBE_PRINTERS");
    const std::u16string chosen =
        list != nullptr ? ShowPrinterPicker(GTK_WINDOW(owner), ListFromEnvironment(list))
                        : ShowPrinterPicker(GTK_WINDOW(owner));
    std::printf("CHOSEN:%s\n", Utf16ToUtf8(chosen).c_str());
    // The picker is gone and the owner takes input again.
    std::printf("OWNER SENSITIVE:%d PICKER LEFT:%d\n", gtk_widget_is_sensitive(owner) ? 1 : 0,
                FindPicker() != nullptr ? 1 : 0);
    return 0;
}

struct PrintRun {
    WebKitWebView* view = nullptr;
    GtkWindow* window = nullptr;
    int requests = 0;
    int sent = 0;
    int results = 0;
    bool apart = false;
    bool started = false;
};

gboolean FinishPrintRun(gpointer data) {
    auto* run = static_cast<PrintRun*>(data);
    std::printf("RESULTS:%d PICKERS:%d\n", run->results, gPickersSeen);
    std::fflush(stdout);
    gtk_main_quit();
    return G_SOURCE_REMOVE;
}

gboolean RequestPrint(gpointer data);

void OnResult(PrintRun* run, const std::string& json) {
    ++run->results;
    std::printf("RESULT:%s\n", json.c_str());
    std::fflush(stdout);
    if (run->results == run->requests) {
        // Time for a stray second message to show itself.
        g_timeout_add(3000, FinishPrintRun, run);
    } else if (run->apart && run->results == run->sent) {
        g_idle_add(RequestPrint, run);
    }
}

// One request, with a fresh deadline for its picker.
gboolean RequestPrint(gpointer data) {
    auto* run = static_cast<PrintRun*>(data);
    if (gCloseDeadline != 0) {
        g_source_remove(gCloseDeadline);
    }
    ArmCloseDeadline();
    ++run->sent;
    PrintViewWithPicker(run->view, run->window,
                        [run](const std::string& json) { OnResult(run, json); });
    if (gCloseDeadline != 0) {
        g_source_remove(gCloseDeadline);
        gCloseDeadline = 0;
    }
    return G_SOURCE_REMOVE;
}

gboolean StartRequests(gpointer data) {
    auto* run = static_cast<PrintRun*>(data);
    if (run->apart) {
        return RequestPrint(run);
    }
    // All at once: the later ones come while the first picker shows or its job runs, as a
    // page asking again and again.
    for (int i = 0; i < run->requests; ++i) {
        RequestPrint(run);
    }
    return G_SOURCE_REMOVE;
}

void OnLoadChanged(WebKitWebView*, WebKitLoadEvent event, gpointer data) {
    auto* run = static_cast<PrintRun*>(data);
    if (event == WEBKIT_LOAD_FINISHED && !run->started) {
        run->started = true;
        g_idle_add(StartRequests, run);
    }
}

int Print(int requests, bool apart, const std::vector<std::string>& actions) {
    PrintRun run;
    run.requests = requests;
    run.apart = apart;
    GtkWidget* window = OwnerWindow();
    run.window = GTK_WINDOW(window);
    run.view = WEBKIT_WEB_VIEW(webkit_web_view_new());
    gtk_container_add(GTK_CONTAINER(window), GTK_WIDGET(run.view));
    g_signal_connect(run.view, "load-changed", G_CALLBACK(OnLoadChanged), &run);
    if (const char* page = std::getenv("PROBE_PAGE"); page != nullptr && *page != '\0') {
        webkit_web_view_load_uri(run.view, page);
    } else {
        webkit_web_view_load_html(run.view,
                                  "<!doctype html><html><body><h1>Lesson 4: Fractions</h1>"
                                  "<p>A printable page of the course.</p></body></html>",
                                  "about:blank");
    }
    gtk_widget_show_all(window);

    // Null views are ignored: nothing shown, nothing posted.
    PrintViewWithPicker(nullptr, run.window, [](const std::string& json) {
        std::printf("RESULT FOR NULL VIEW:%s\n", json.c_str());
    });

    Drive(actions);
    g_timeout_add_seconds(
        60,
        [](gpointer) -> gboolean {
            std::printf("TIMED OUT\n");
            std::fflush(stdout);
            std::_Exit(5);
        },
        nullptr);
    gtk_main();
    return run.results == run.requests ? 0 : 5;
}

}  // namespace

int main(int argc, char** argv) {
    setvbuf(stdout, nullptr, _IOLBF, 0);
    // Simulated input is sent as core X events, which GTK reads only without XInput 2.
    g_setenv("GDK_CORE_DEVICE_EVENTS", "1", TRUE);
    if (!kestrum::StartToolkit(&argc, &argv)) {
        std::printf("no display\n");
        return 2;
    }
    if (argc >= 2 && std::strcmp(argv[1], "pick") == 0) {
        return Pick(std::vector<std::string>(argv + 2, argv + argc));
    }
    const bool apart = argc >= 2 && std::strcmp(argv[1], "print-apart") == 0;
    if (argc >= 3 && (apart || std::strcmp(argv[1], "print") == 0)) {
        const int requests = std::atoi(argv[2]);
        if (requests >= 1) {
            return Print(requests, apart, std::vector<std::string>(argv + 3, argv + argc));
        }
    }
    std::fprintf(stderr, "usage: print_probe pick ACTION... | print[-apart] REQUESTS ACTION...\n");
    return 4;
}
