#include "app/linux/shell_windows_gtk.h"

#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "browser/browser_host_slots.h"
#include "browser/linux/browser_window_shell_gtk.h"
#include "browser/linux/webkit_engine.h"
#include "common/app_context.h"
#include "common/text_encoding.h"
#include "resources/resources.h"

namespace kestrum {
namespace {

GtkWidget* shellWindow = nullptr;
std::thread::id mainThread;

// Laid out left to right, as the player draws it on every system: the Arabic words, then
// "Loading...". The leading mark keeps the paragraph from taking the direction of its first
// (Arabic) letter, which would put the dots before "Loading".
constexpr char kWaitingText[] =
    "\u200e"
    "جاري التحميل... Loading...";
constexpr char kWaitingTextName[] = "kestrum-waiting-text";

void SetIcon(GtkWindow* window) {
    const std::string_view png = IconPng();
    GInputStream* stream =
        g_memory_input_stream_new_from_data(png.data(), static_cast<gssize>(png.size()), nullptr);
    if (GdkPixbuf* icon = gdk_pixbuf_new_from_stream(stream, nullptr, nullptr)) {
        gtk_window_set_icon(window, icon);
        g_object_unref(icon);
    }
    g_object_unref(stream);
}

void OnDestroy(GtkWidget* widget, gpointer) {
    if (widget == shellWindow)
        shellWindow = nullptr;
    CloseBrowserHosts();
    RequestMainLoopQuit(0);
}

// Only the player's own window and its waiting text are styled: message boxes and every other
// window keep the desktop's readable colours.
void StyleShellWindow(const char* name) {
    const std::string css = "#" + std::string(name) + " { background-color: #000000; } #" +
                            kWaitingTextName + " { color: rgb(200, 200, 200); font-size: 24px; }";
    GtkCssProvider* style = gtk_css_provider_new();
    gtk_css_provider_load_from_data(style, css.c_str(), -1, nullptr);
    gtk_style_context_add_provider_for_screen(gdk_screen_get_default(), GTK_STYLE_PROVIDER(style),
                                              GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
    g_object_unref(style);
}

GtkWidget* CreateWaitingText() {
    GtkWidget* label = gtk_label_new(kWaitingText);
    gtk_widget_set_name(label, kWaitingTextName);
    gtk_widget_set_direction(label, GTK_TEXT_DIR_LTR);
    return label;
}

GtkWidget* CreateShellWindow(const char* name, int width, int height, BrowserWindow kind) {
    GtkWidget* window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    if (!window)
        return nullptr;
    const std::string title =
        Utf16ToUtf8(AppContext::productName) + " V " + Utf16ToUtf8(AppContext::versionText);
    gtk_widget_set_name(window, name);
    gtk_window_set_title(GTK_WINDOW(window), title.c_str());
    gtk_window_set_default_size(GTK_WINDOW(window), width, height);
    SetIcon(GTK_WINDOW(window));

    // The waiting text stays under the browser, which covers it once it is up.
    GtkWidget* overlay = gtk_overlay_new();
    gtk_container_add(GTK_CONTAINER(overlay), CreateWaitingText());
    gtk_container_add(GTK_CONTAINER(window), overlay);
    StyleShellWindow(name);
    g_signal_connect(window, "destroy", G_CALLBACK(OnDestroy), nullptr);
    FollowWindowState(window, kind);
    gtk_widget_show_all(window);
    shellWindow = window;
    return window;
}

struct Completion {
    std::mutex lock;
    std::condition_variable changed;
    bool done = false;
};

}  // namespace

GtkWidget* CreateMainWindow() {
    return CreateShellWindow("KestrumWindow", 1280, 720, BrowserWindow::kMain);
}

GtkWidget* CreateStartWindow() {
    return CreateShellWindow("MolvaneInitWindow", 1024, 768, BrowserWindow::kStart);
}

GtkWidget* ShellWindow() {
    return shellWindow;
}

void RecordMainThread() {
    mainThread = std::this_thread::get_id();
}

void CloseBrowserHostsFromAnyThread(unsigned limitMs) {
    if (std::this_thread::get_id() == mainThread) {
        CloseBrowserHosts();
        return;
    }
    if (!shellWindow)
        return;
    // The main loop runs the close; a hung main thread holds this one for the limit only.
    auto completion = std::make_shared<Completion>();
    g_main_context_invoke(
        nullptr,
        [](gpointer data) -> gboolean {
            std::unique_ptr<std::shared_ptr<Completion>> owned(
                static_cast<std::shared_ptr<Completion>*>(data));
            CloseBrowserHosts();
            const std::lock_guard<std::mutex> guard((*owned)->lock);
            (*owned)->done = true;
            (*owned)->changed.notify_all();
            return G_SOURCE_REMOVE;
        },
        new std::shared_ptr<Completion>(completion));
    std::unique_lock<std::mutex> guard(completion->lock);
    completion->changed.wait_for(guard, std::chrono::milliseconds(limitMs),
                                 [&] { return completion->done; });
}

}  // namespace kestrum
