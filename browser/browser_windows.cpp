#include "browser/browser_windows.h"

#include "browser/browser_host_slots.h"
#include "browser/navigation_policy.h"
#include "browser/page_scripts.h"
#include "browser/web_messages.h"
#include "common/app_context.h"
#include "common/platform_profile.h"
#include "common/text_encoding.h"
#include "link/content_url_rules.h"
#include "link/embed_page.h"
#include "link/live_class_page.h"

namespace kestrum {
namespace {

// Everything here runs on the main thread.
bool IsPdfKind(const std::u16string& kind) {
    return kind == u"pdf" || kind == u"pdf_url";
}

void StartWindowMessage(const std::u16string& message, NativeWindow window,
                        BrowserWindowShell& shell) {
    WebViewHost* host = StartHost();
    switch (StartWindowMessageAction(message)) {
        case MessageAction::kPrint:
            if (host)
                host->ShowSystemPrintDialog();
            break;
        case MessageAction::kHome:
            if (host)
                host->Navigate(Utf8ToUtf16(ProfileText(ProfileItem::kHomeUrl)));
            break;
        case MessageAction::kBack:
            if (host)
                host->GoBack();
            break;
        case MessageAction::kReload:
            if (host)
                host->Reload();
            break;
        case MessageAction::kStartFullscreen:
            shell.ToggleStartFullscreen(window);
            break;
        default:
            break;
    }
}

// Only the link's own meeting address, and only while the live class page is what the window
// shows: no page can have the player open an address of its choosing.
void OpenLiveClassInBrowser(BrowserWindowShell& shell) {
    WebViewHost* host = ContentHost();
    if (!host || !TheBrowserWindows().liveClassElsewhere)
        return;
    const std::u16string address = LiveClassBrowserAddress(TheAppContext().contentUrl);
    const bool opened = !address.empty() && shell.OpenInDefaultBrowser(address);
    host->PostWebMessageAsJson(LiveClassAnswer(opened));
}

void MainWindowMessage(const std::u16string& message, BrowserWindowShell& shell) {
    switch (MainWindowMessageAction(message)) {
        case MessageAction::kPrint:
            if (WebViewHost* host = ContentHost())
                host->ShowSystemPrintDialog();
            return;
        case MessageAction::kOpenLiveClass:
            OpenLiveClassInBrowser(shell);
            return;
        default:
            HandlePageMessage(message, shell);
    }
}

void StartWindowFirstLoad(bool success, BrowserWindowShell& shell) {
    WebViewHost* host = StartHost();
    if (!success || !host) {
        shell.DestroySplash();
        return;
    }
    host->ApplySettings();
    for (const std::u16string& script : StartWindowDocumentScripts())
        host->AddDocumentScript(script);
    host->Navigate(Utf8ToUtf16(ProfileText(ProfileItem::kStartUrl)));
}

void MainWindowFirstLoad(bool success, BrowserWindowShell& shell) {
    WebViewHost* host = ContentHost();
    if (!success || !host)
        return;
    const AppContext& context = TheAppContext();
    host->ApplySettings();
    for (const std::u16string& script : MainWindowDocumentScripts(context))
        host->AddDocumentScript(script);
    BrowserWindowSlots& windows = TheBrowserWindows();
    // A live class needs video calls; where the engine has none, the learner is told so and
    // offered the web browser instead of a meeting page that cannot join.
    windows.liveClassElsewhere = IsZoomUrl(context.contentUrl) && !host->OffersWebRtc();
    if (windows.liveClassElsewhere) {
        host->NavigateToString(
            BuildLiveClassPage(context.contentUrl, std::u16string(AppContext::productName)));
    } else if (context.contentKind == u"url_direct" || IsPdfKind(context.contentKind)) {
        host->Navigate(context.contentUrl);
    } else {
        host->NavigateToString(BuildEmbedPage(context.contentUrl, context.watermarkText,
                                              std::u16string(AppContext::productName)));
    }
    windows.contentShown = true;
    shell.DestroySplash();
    shell.BringToFront(windows.contentWindow);
}

// Both windows pass one attempt; a browser that does not come up is explained to the learner
// once the splash is out of the way.
bool BringUp(WebViewHost& host, NativeWindow window, const std::u16string& base,
             BrowserWindowShell& shell) {
    if (host.Initialize(window, base, 1))
        return true;
    shell.DestroySplash();
    shell.ShowBrowserFailure(window, host.statusText());
    return false;
}

}  // namespace

BrowserWindowSlots& TheBrowserWindows() {
    static BrowserWindowSlots slots;
    return slots;
}

WebViewHost* StartHost() {
    return dynamic_cast<WebViewHost*>(TheBrowserHosts().startHost.get());
}

WebViewHost* ContentHost() {
    return dynamic_cast<WebViewHost*>(TheBrowserHosts().contentHost.get());
}

bool CreateInitScreenBrowser(NativeWindow window, BrowserWindowShell& shell) {
    TheBrowserWindows().mainWindow = window;
    const std::u16string base = shell.DataFolderBase();

    auto owned = std::make_unique<WebViewHost>(shell.CreateEngine(BrowserWindow::kStart));
    WebViewHost& host = *owned;
    TheBrowserHosts().startHost = std::move(owned);
    host.onWebMessage = [window, &shell](const std::u16string& message) {
        StartWindowMessage(message, window, shell);
    };
    host.onNavigationStarting = [](const std::u16string& uri, bool&) {
        AppContext& context = TheAppContext();
        context.linkServer = StartWindowLinkServer(uri, context.linkServer);
    };
    host.onNavigationCompleted = [window, &shell](bool, int) {
        shell.DestroySplash();
        shell.BringToFront(window);
    };
    host.onInitialized = [&shell](bool success, HResult) { StartWindowFirstLoad(success, shell); };

    return BringUp(host, window, base, shell);
}

bool CreatePlayerWindowBrowser(NativeWindow window, BrowserWindowShell& shell) {
    if (!window)
        return false;
    BrowserWindowSlots& windows = TheBrowserWindows();
    windows.mainWindow = windows.contentWindow = window;
    windows.contentShown = false;
    const std::u16string base = shell.DataFolderBase();

    auto owned = std::make_unique<WebViewHost>(shell.CreateEngine(BrowserWindow::kMain));
    WebViewHost& host = *owned;
    TheBrowserHosts().contentHost = std::move(owned);
    host.onWebMessage = [&shell](const std::u16string& message) {
        MainWindowMessage(message, shell);
    };
    host.onNavigationStarting = [](const std::u16string& uri, bool& cancel) {
        cancel = ContentNavigationPolicy(uri, TheAppContext()) == NavigationDecision::kCancel;
    };
    host.onInitialized = [&shell](bool success, HResult) { MainWindowFirstLoad(success, shell); };

    return BringUp(host, window, base, shell);
}

void HandlePageMessage(const std::u16string& message, BrowserWindowShell& shell) {
    BrowserWindowSlots& windows = TheBrowserWindows();
    if (message == u"toggleFullscreen" || message == u"\"toggleFullscreen\"") {
        if (!windows.contentWindow)
            return;
        windows.contentFullscreen = !windows.contentFullscreen;
        shell.SetContentFullscreen(windows.contentWindow, windows.contentFullscreen);
    } else if (message == u"pageLoaded" || message == u"\"pageLoaded\"") {
        if (windows.contentWindow && !windows.contentShown) {
            windows.contentShown = true;
            shell.ShowWindow(windows.contentWindow);
        }
    }
}

}  // namespace kestrum
