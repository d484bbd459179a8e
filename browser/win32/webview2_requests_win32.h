#pragma once

#include <functional>
#include <string>
#include <vector>

#include "browser/header_decisions.h"
#include "browser/win32/webview2/webview2_declarations.h"

namespace kestrum {

// What the request handling of one browser needs besides the request itself.
struct RequestRules {
    BrowserWindow window = BrowserWindow::kMain;
    // The pin check of an https host.
    std::function<bool(const std::u16string& host)> hostPinsPass;
    // A host that failed it, after its request got the local answer.
    std::function<void(const std::u16string& host)> reportBlockedHost;
};

// One network request of a page: a host that fails its pins gets a local 403 "Blocked"
// answer (made by `environment`) in place of the network's and is reported; any other
// request gets the player's headers. Requests without a request object, headers or address
// pass untouched.
void HandleWebResourceRequest(ICoreWebView2WebResourceRequestedEventArgs* args,
                              ICoreWebView2Environment* environment, const RequestRules& rules);

// Opens `address` with `headers` on its request. False when the runtime cannot take a request
// of ours (too old, or the request could not be made): the caller then opens it plainly.
bool NavigateWithHeaders(ICoreWebView2Environment* environment, ICoreWebView2* webview,
                         const std::u16string& address, const std::vector<RequestHeader>& headers);

}  // namespace kestrum
