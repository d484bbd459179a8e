#pragma once

#include <functional>

#include "browser/browser_engine.h"
#include "browser/win32/webview2/webview2_declarations.h"

namespace kestrum {

// Where the browser's events go. `events` gives the host's receiver, or null once the
// browser is closed (the runtime may still hold the handlers for a while).
struct BrowserEventSinks {
    std::function<BrowserEvents*()> events;
    std::function<void(ICoreWebView2WebResourceRequestedEventArgs*)> webResourceRequested;
};

// Subscribes the browser's events for the life of the browser: top-level navigation starts
// (cancelled when the host refuses them), page messages, completed navigations, permission
// requests (camera, microphone and notifications granted, the rest left to the runtime's own
// prompt), new windows (opened in this browser instead), and every network request of every
// kind of resource and source.
void SubscribeBrowserEvents(ICoreWebView2* webview, BrowserEventSinks sinks);

}  // namespace kestrum
