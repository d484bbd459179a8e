#pragma once

#include <memory>
#include <string>

#include "browser/browser_engine.h"
#include "browser/webview_host.h"

namespace kestrum {

// What the player's two browser windows need of the window system; each platform's shell
// implements it once.
class BrowserWindowShell {
  public:
    virtual ~BrowserWindowShell() = default;
    // A browser engine for a window of this kind (its request rules depend on the kind).
    virtual std::unique_ptr<BrowserEngine> CreateEngine(BrowserWindow kind) = 0;
    // The data folder base under the user's local application data, its parent created.
    virtual std::u16string DataFolderBase() = 0;
    virtual void DestroySplash() = 0;
    // Shows the window, brings it to the front once and repaints it.
    virtual void BringToFront(NativeWindow window) = 0;
    // Shows the window and repaints it, without raising it.
    virtual void ShowWindow(NativeWindow window) = 0;
    // "Failed to initialize WebView2.\n\n" + status, owned by the window.
    virtual void ShowBrowserFailure(NativeWindow window, const std::u16string& statusText) = 0;
    // The main window's full-screen form (the whole monitor, no frame) or its framed
    // 1280 x 720 form.
    virtual void SetContentFullscreen(NativeWindow window, bool fullscreen) = 0;
    // Toggles the start window between its saved placement and the whole monitor.
    virtual void ToggleStartFullscreen(NativeWindow window) = 0;
    // Hands an https address to the desktop's default web browser; false when none took it.
    virtual bool OpenInDefaultBrowser(const std::u16string& address) = 0;
};

// The process-wide window slots of the main thread.
struct BrowserWindowSlots {
    NativeWindow mainWindow = nullptr;
    NativeWindow contentWindow = nullptr;
    bool contentShown = false;
    bool contentFullscreen = false;
    // The live class could not be joined in the player and its page offers the web browser.
    bool liveClassElsewhere = false;
};
BrowserWindowSlots& TheBrowserWindows();

// The hosts in the process-wide slots, or null.
WebViewHost* StartHost();
WebViewHost* ContentHost();

// Plain mode: the start window's browser on the platform's site. False when it cannot come up
// (the learner has been told why).
bool CreateInitScreenBrowser(NativeWindow window, BrowserWindowShell& shell);
// Link mode: the content of the link in the main window.
bool CreatePlayerWindowBrowser(NativeWindow window, BrowserWindowShell& shell);

// The content page's own messages, "toggleFullscreen" and "pageLoaded"; others are ignored.
void HandlePageMessage(const std::u16string& message, BrowserWindowShell& shell);

}  // namespace kestrum
