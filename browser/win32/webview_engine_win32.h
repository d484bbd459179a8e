#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "browser/browser_engine.h"

namespace kestrum {

// What the Windows engine asks of the rest of the player; tests put their own in.
struct WebView2EngineHooks {
    // The pin check of a page's https host (CheckHostPins).
    std::function<bool(const std::u16string& host)> hostPinsPass;
    // A host that failed it: the fatal report that ends the process (ReportInterceptedHost).
    std::function<void(const std::u16string& host)> reportBlockedHost;
    // The printer the learner picks over the window, empty for a cancel (ShowPrinterPicker).
    std::function<std::u16string(HWND owner)> choosePrinter;
};

WebView2EngineHooks PlayerWebView2EngineHooks();

// The browser engine of the Windows player, on the WebView2 runtime found by the player's own
// runtime loader: it prepares what the runtime needs (the data folder and its write test, the
// runtime's environment variables, the options with the browser arguments), creates the
// environment and the controller, runs the main thread's message pump while a creation is
// pending, and applies the host's decisions to the browser's events and requests.
std::unique_ptr<BrowserEngine> CreateWebView2Engine(
    BrowserWindow kind, WebView2EngineHooks hooks = PlayerWebView2EngineHooks());

}  // namespace kestrum
