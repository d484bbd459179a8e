#include "service/page_host_pins.h"

#include <mutex>
#include <optional>
#include <set>
#include <shared_mutex>

#include "service/http_transport.h"
#include "service/pin_store.h"
#include "service/pin_validation.h"
#include "service/url_parts.h"

namespace kestrum {
namespace {

std::shared_mutex checkedLock;
std::set<std::u16string>& CheckedHosts() {
    static std::set<std::u16string> hosts;
    return hosts;
}

void Remember(const std::u16string& host) {
    const std::unique_lock<std::shared_mutex> guard(checkedLock);
    CheckedHosts().insert(host);
}

constexpr char kBrowserAgent[] =
    "Mozilla/5.0 (Windows NT 10.0; Win64; x64) AppleWebKit/537.36 (KHTML, like Gecko) "
    "Chrome/120.0.0.0 Safari/537.36 Edg/120.0.0.0";

}  // namespace

bool CheckHostPins(const std::u16string& host) {
    return CheckHostPins(host, [] {
        return CreatePlatformTransport(TransportSettings{kBrowserAgent, 3000, 3000, 3000, 3000});
    });
}

bool CheckHostPins(const std::u16string& givenHost,
                   const std::function<std::unique_ptr<HttpTransport>()>& makeTransport) {
    // Judged as the browser's transport reaches it: "LOCALHOST." is localhost.
    const std::optional<std::u16string> reached = TransportHost(givenHost);
    if (!reached)
        return false;
    const std::u16string& host = *reached;
    {
        const std::shared_lock<std::shared_mutex> guard(checkedLock);
        if (CheckedHosts().count(host))
            return true;
    }
    const auto entry = FindPins(host);
    if (!entry || entry->pins.empty()) {
        Remember(host);
        return true;
    }

    std::unique_ptr<HttpTransport> transport;
    try {
        transport = makeTransport();
    } catch (const std::exception&) {
        return true;  // no session: not judged, not remembered
    }
    TransportRequest head;
    head.method = "HEAD";
    head.target = UrlParts{true, host, 443, u"/"};
    head.chainCheck = [host](const ServerChain& chain) { return ValidateServerPins(chain, host); };
    const TransportResponse result = transport->Exchange(head);

    switch (result.failure) {
        case TransportFailure::kConnect:
        case TransportFailure::kOpenRequest:
            return true;
        case TransportFailure::kChainRejected:
            return false;
        case TransportFailure::kNone:
            // An answer whose certificate could not be read proves nothing: fail closed.
            if (!result.chainVerified)
                return false;
            break;
        default:
            break;
    }
    // Unreachable or silent hosts pass: only a server that answers without a chain that
    // passes fails.
    Remember(host);
    return true;
}

}  // namespace kestrum
