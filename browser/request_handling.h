#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "browser/header_decisions.h"

namespace kestrum {

// What the browser does with one network request of a page.
struct RequestDecision {
    // The https host failed its pin check: the page gets a local 403 "Blocked" answer
    // instead of the network's, and the process ends shortly after (ReportInterceptedHost).
    bool blocked = false;
    std::u16string blockedHost;
    // Otherwise the headers to set on the request, each replacing any value of its name.
    std::vector<RequestHeader> headers;
};

// The request handling every request of either window passes. `hostPinsPass` is the pin check
// of an https host (remembered per process after the first pass), given the host as the
// transport connects to it (TransportHost); a host the player refuses is blocked unchecked.
RequestDecision DecideRequest(std::u16string_view url, BrowserWindow window,
                              const DeviceValues& device, std::u16string_view linkServer,
                              const std::function<bool(const std::u16string&)>& hostPinsPass);

// A page's https host failed its pin check: half a second later (so the page can show its
// "Blocked" answer) the fatal dialog ends the process, with the code "MITM_PIN_" + host.
// Runs on a detached thread of its own; only the first report of a process counts.
void ReportInterceptedHost(const std::u16string& host);

// The diagnostic code of that report: "MITM_PIN_" + the host in UTF-8, cut to 100 bytes.
std::string InterceptedHostCode(const std::u16string& host);

}  // namespace kestrum
