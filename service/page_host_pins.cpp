#include "service/page_host_pins.h"

#include <future>
#include <mutex>
#include <optional>
#include <set>
#include <shared_mutex>
#include <thread>

#include "service/http_transport.h"
#include "service/pin_store.h"
#include "service/pin_validation.h"
#include "service/url_parts.h"
#include "service/verified_servers.h"

namespace kestrum {
namespace {

std::shared_mutex checkedLock;
// Never destroyed: a check begun on its own thread may still run at exit.
std::set<std::u16string>& CheckedHosts() {
    static auto* hosts = new std::set<std::u16string>;
    return *hosts;
}

std::mutex beginLock;
std::vector<std::shared_future<void>>& BegunChecks() {
    static auto* checks = new std::vector<std::shared_future<void>>;
    return *checks;
}

void Remember(const std::u16string& host) {
    const std::unique_lock<std::shared_mutex> guard(checkedLock);
    CheckedHosts().insert(host);
}

// Hosts passed before, hosts without pins, and hosts whose chain this process has already
// accepted and which passes the pins in force: no connection is needed.
bool PassesWithoutConnection(const std::u16string& host) {
    {
        const std::shared_lock<std::shared_mutex> guard(checkedLock);
        if (CheckedHosts().count(host))
            return true;
    }
    const auto entry = FindPins(host);
    if (entry && !entry->pins.empty() && !PinnedCertificateOf(host))
        return false;
    Remember(host);
    return true;
}

// A HEAD of "/" on the host's port 443 whose new connection is judged by `check`; nothing
// when no session could be made.
std::optional<TransportResponse> Head(const std::u16string& host,
                                      const std::function<std::unique_ptr<HttpTransport>()>& make,
                                      ChainCheck check) {
    std::unique_ptr<HttpTransport> transport;
    try {
        transport = make();
    } catch (const std::exception&) {
        return std::nullopt;
    }
    if (!transport)
        return std::nullopt;
    TransportRequest head;
    head.method = "HEAD";
    head.target = UrlParts{true, host, 443, u"/"};
    head.chainCheck = std::move(check);
    return transport->Exchange(head);
}

constexpr char kBrowserAgent[] =
    "Mozilla/5.0 (Windows NT 10.0; Win64; x64) AppleWebKit/537.36 (KHTML, like Gecko) "
    "Chrome/120.0.0.0 Safari/537.36 Edg/120.0.0.0";

std::unique_ptr<HttpTransport> BrowserTransport() {
    return CreatePlatformTransport(TransportSettings{kBrowserAgent, 3000, 3000, 3000, 3000});
}

}  // namespace

bool CheckHostPins(const std::u16string& host) {
    return CheckHostPins(host, BrowserTransport);
}

bool CheckHostPins(const std::u16string& givenHost,
                   const std::function<std::unique_ptr<HttpTransport>()>& makeTransport) {
    // Judged as the browser's transport reaches it: "LOCALHOST." is localhost.
    const std::optional<std::u16string> reached = TransportHost(givenHost);
    if (!reached)
        return false;
    const std::u16string& host = *reached;
    if (PassesWithoutConnection(host))
        return true;

    const std::optional<TransportResponse> result =
        Head(host, makeTransport,
             [host](const ServerChain& chain) { return ValidateServerPins(chain, host); });
    if (!result)
        return true;  // no session: not judged, not remembered
    switch (result->failure) {
        case TransportFailure::kConnect:
        case TransportFailure::kOpenRequest:
            return true;
        case TransportFailure::kChainRejected:
            return false;
        case TransportFailure::kNone:
            // An answer whose certificate could not be read proves nothing: fail closed.
            if (!result->chainVerified)
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

void PrecheckHostPins(const std::u16string& givenHost,
                      const std::function<std::unique_ptr<HttpTransport>()>& makeTransport) {
    const std::optional<std::u16string> reached = TransportHost(givenHost);
    if (!reached)
        return;
    const std::u16string& host = *reached;
    if (PassesWithoutConnection(host))
        return;
    // Passing by the pins alone, with no dialog and no look at running programs: anything
    // else is left to the full check at the host's first request.
    const std::optional<TransportResponse> result =
        Head(host, makeTransport,
             [host](const ServerChain& chain) { return ChainPassesHostPins(chain, host); });
    if (result && result->failure == TransportFailure::kNone && result->chainVerified)
        Remember(host);
}

void BeginHostPinCheck(const std::u16string& host) {
    std::packaged_task<void()> check([host] { PrecheckHostPins(host, BrowserTransport); });
    const std::lock_guard<std::mutex> guard(beginLock);
    BegunChecks().push_back(check.get_future().share());
    // Detached: the check ends within its time-outs, and whoever needs it waits for it.
    std::thread(std::move(check)).detach();
}

std::vector<std::u16string> PassedPageHosts() {
    std::vector<std::shared_future<void>> begun;
    {
        const std::lock_guard<std::mutex> guard(beginLock);
        begun = BegunChecks();
    }
    for (const auto& check : begun)
        check.wait();
    // The hosts this process's own connections have accepted pass as well.
    std::set<std::u16string> passed;
    for (std::u16string& host : PinnedHostsPassing())
        passed.insert(std::move(host));
    const std::shared_lock<std::shared_mutex> guard(checkedLock);
    passed.insert(CheckedHosts().begin(), CheckedHosts().end());
    return {passed.begin(), passed.end()};
}

void AcceptPassedPageHosts(const std::vector<std::u16string>& hosts) {
    for (const std::u16string& given : hosts) {
        if (const std::optional<std::u16string> host = TransportHost(given))
            Remember(*host);
    }
}

}  // namespace kestrum
