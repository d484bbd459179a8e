#include "browser/linux/browser_window_shell_gtk.h"

#include <glib/gstdio.h>

#include <optional>

#include "browser/linux/default_browser_gtk.h"
#include "browser/linux/webkit_engine.h"
#include "common/app_context.h"
#include "common/debug_log.h"
#include "common/message_box.h"
#include "common/text_encoding.h"

namespace kestrum {
namespace {

constexpr int kContentWidth = 1280;
constexpr int kContentHeight = 720;

std::function<void()>& SplashCloser() {
    static std::function<void()> closer;  // main thread only
    return closer;
}

struct WarmEngine {
    BrowserWindow kind;
    std::unique_ptr<BrowserEngine> engine;
};
std::optional<WarmEngine>& Warm() {
    static std::optional<WarmEngine> warm;  // main thread only
    return warm;
}

WebViewHost* HostOf(BrowserWindow kind) {
    return kind == BrowserWindow::kStart ? StartHost() : ContentHost();
}

class GtkShell final : public BrowserWindowShell {
  public:
    std::unique_ptr<BrowserEngine> CreateEngine(BrowserWindow kind) override {
        if (Warm() && Warm()->kind == kind) {
            std::unique_ptr<BrowserEngine> engine = std::move(Warm()->engine);
            Warm().reset();
            return engine;
        }
        return CreateWebKitEngine(kind);
    }
    std::u16string DataFolderBase() override {
        const std::string program =
            std::string(g_get_user_data_dir()) + "/" + Utf16ToUtf8(AppContext::productName);
        g_mkdir_with_parents(g_get_user_data_dir(), 0700);
        g_mkdir(program.c_str(), 0700);  // an existing folder is fine
        return Utf8ToUtf16(program + "/WebView2Data");
    }
    void DestroySplash() override {
        if (SplashCloser())
            SplashCloser()();
    }
    void BringToFront(NativeWindow window) override {
        if (!window || !GTK_IS_WINDOW(window))
            return;
        GtkWindow* gtkWindow = GTK_WINDOW(window);
        gtk_widget_show(GTK_WIDGET(gtkWindow));
        gtk_window_present(gtkWindow);
        gtk_window_set_keep_above(gtkWindow, TRUE);
        gtk_window_set_keep_above(gtkWindow, FALSE);
        gtk_widget_queue_draw(GTK_WIDGET(gtkWindow));
    }
    void ShowWindow(NativeWindow window) override {
        if (window && GTK_IS_WINDOW(window)) {
            gtk_widget_show(GTK_WIDGET(window));
            gtk_widget_queue_draw(GTK_WIDGET(window));
        }
    }
    void ShowBrowserFailure(NativeWindow, const std::u16string& statusText) override {
        ShowMessageBox({u"Failed to initialize WebView2.\n\n" + statusText, u"WebView2 Error",
                        MessageIcon::kError, MessageButtons::kOk, false});
    }
    void SetContentFullscreen(NativeWindow window, bool fullscreen) override {
        if (!window || !GTK_IS_WINDOW(window))
            return;
        GtkWindow* gtkWindow = GTK_WINDOW(window);
        if (fullscreen) {
            gtk_window_fullscreen(gtkWindow);
        } else {
            gtk_window_unfullscreen(gtkWindow);
            gtk_window_resize(gtkWindow, kContentWidth, kContentHeight);
        }
    }
    void ToggleStartFullscreen(NativeWindow window) override {
        if (!window || !GTK_IS_WINDOW(window))
            return;
        // The window manager keeps the placement to go back to.
        startFullscreen_ = !startFullscreen_;
        if (startFullscreen_)
            gtk_window_fullscreen(GTK_WINDOW(window));
        else
            gtk_window_unfullscreen(GTK_WINDOW(window));
    }

    bool OpenInDefaultBrowser(const std::u16string& address) override {
        return kestrum::OpenInDefaultBrowser(Utf16ToUtf8(address));
    }

  private:
    bool startFullscreen_ = false;
};

gboolean OnWindowState(GtkWidget*, GdkEventWindowState* event, gpointer kind) {
    WebViewHost* host = HostOf(static_cast<BrowserWindow>(GPOINTER_TO_INT(kind)));
    if (!host || !(event->changed_mask & GDK_WINDOW_STATE_ICONIFIED))
        return FALSE;
    if (event->new_window_state & GDK_WINDOW_STATE_ICONIFIED)
        host->SetVisible(false);
    else
        host->RestoreVisibility();
    return FALSE;
}

gboolean OnFocusIn(GtkWidget*, GdkEvent*, gpointer kind) {
    if (WebViewHost* host = HostOf(static_cast<BrowserWindow>(GPOINTER_TO_INT(kind))))
        host->RestoreVisibility();
    return FALSE;
}

gboolean OnConfigure(GtkWidget*, GdkEvent*, gpointer kind) {
    if (WebViewHost* host = HostOf(static_cast<BrowserWindow>(GPOINTER_TO_INT(kind))))
        host->NotifyPositionChanged();
    return FALSE;
}

bool IsMinimised(GtkWidget* window) {
    GdkWindow* surface = gtk_widget_get_window(window);
    return surface && (gdk_window_get_state(surface) & GDK_WINDOW_STATE_ICONIFIED);
}

// The system goes to sleep (true) or wakes up (false): the browser is hidden for the sleep
// and shown again afterwards unless its window is minimised.
void OnPrepareForSleep(GDBusConnection*, const gchar*, const gchar*, const gchar*, const gchar*,
                       GVariant* parameters, gpointer window) {
    gboolean sleeping = FALSE;
    if (!g_variant_is_of_type(parameters, G_VARIANT_TYPE("(b)")))
        return;
    g_variant_get(parameters, "(b)", &sleeping);
    for (WebViewHost* host : {StartHost(), ContentHost()}) {
        if (!host)
            continue;
        if (sleeping)
            host->SetVisible(false);
        else if (!IsMinimised(GTK_WIDGET(window)))
            host->RestoreVisibility();
    }
}

struct SleepSubscription {
    GDBusConnection* bus;
    guint id;
};

void StopFollowingSleep(GtkWidget*, gpointer data) {
    auto* subscription = static_cast<SleepSubscription*>(data);
    g_dbus_connection_signal_unsubscribe(subscription->bus, subscription->id);
}

void ForgetSleepSubscription(gpointer data, GClosure*) {
    auto* subscription = static_cast<SleepSubscription*>(data);
    g_object_unref(subscription->bus);
    delete subscription;
}

void FollowSleep(GtkWidget* window) {
    // Without a system bus (a container, a test display) there is nothing to follow.
    GDBusConnection* bus = g_bus_get_sync(G_BUS_TYPE_SYSTEM, nullptr, nullptr);
    if (!bus)
        return;
    const guint subscription = g_dbus_connection_signal_subscribe(
        bus, "org.freedesktop.login1", "org.freedesktop.login1.Manager", "PrepareForSleep",
        "/org/freedesktop/login1", nullptr, G_DBUS_SIGNAL_FLAGS_NONE, OnPrepareForSleep, window,
        nullptr);
    g_signal_connect_data(window, "destroy", G_CALLBACK(StopFollowingSleep),
                          new SleepSubscription{bus, subscription}, ForgetSleepSubscription,
                          G_CONNECT_DEFAULT);
}

}  // namespace

void WarmBrowser(BrowserWindow kind) {
    if (Warm())
        return;
    // The folder and arguments the window's browser will ask for on its first attempt.
    const std::u16string folder =
        AttemptDataFolder(GtkBrowserWindowShell().DataFolderBase(), false, u"", 0);
    if (std::unique_ptr<BrowserEngine> engine =
            CreateWarmWebKitEngine(kind, folder, BrowserArguments())) {
        Warm() = WarmEngine{kind, std::move(engine)};
        DebugLog(kind == BrowserWindow::kMain ? "Content browser started ahead"
                                              : "Start browser started ahead");
    }
}

void DiscardWarmBrowser() {
    if (!Warm())
        return;
    std::unique_ptr<BrowserEngine> engine = std::move(Warm()->engine);
    Warm().reset();
    engine->CloseBrowser(5000);
}

void SetSplashCloser(std::function<void()> closeSplash) {
    SplashCloser() = std::move(closeSplash);
}

BrowserWindowShell& GtkBrowserWindowShell() {
    static GtkShell shell;
    return shell;
}

void FollowWindowState(GtkWidget* window, BrowserWindow kind) {
    gpointer data = GINT_TO_POINTER(static_cast<int>(kind));
    g_signal_connect(window, "window-state-event", G_CALLBACK(OnWindowState), data);
    g_signal_connect(window, "focus-in-event", G_CALLBACK(OnFocusIn), data);
    g_signal_connect(window, "configure-event", G_CALLBACK(OnConfigure), data);
    FollowSleep(window);
}

}  // namespace kestrum
