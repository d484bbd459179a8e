#include "service/verified_servers.h"

#include <map>
#include <mutex>
#include <utility>

#include "service/pin_store.h"
#include "service/pin_validation.h"
#include "service/url_parts.h"

namespace kestrum {
namespace {

struct VerifiedServer {
    ServerChain chain;
    std::string certificateDer;
};

// A process talks to a handful of servers; past this many hosts one name (the first in
// order) goes, so that a page reaching endless hosts cannot grow the record.
constexpr std::size_t kMaxHosts = 64;

std::mutex lock;
// Never destroyed: a check still running on another thread at exit may reach it.
std::map<std::u16string, VerifiedServer>& Servers() {
    static auto* servers = new std::map<std::u16string, VerifiedServer>;
    return *servers;
}

}  // namespace

void RememberVerifiedServer(const std::u16string& givenHost, ServerChain chain,
                            std::string certificateDer) {
    const std::optional<std::u16string> host = TransportHost(givenHost);
    if (!host || chain.empty() || certificateDer.empty())
        return;
    const std::lock_guard<std::mutex> guard(lock);
    auto& servers = Servers();
    if (servers.size() >= kMaxHosts && !servers.count(*host))
        servers.erase(servers.begin());
    servers[*host] = VerifiedServer{std::move(chain), std::move(certificateDer)};
}

std::optional<std::string> PinnedCertificateOf(const std::u16string& givenHost) {
    const std::optional<std::u16string> host = TransportHost(givenHost);
    if (!host)
        return std::nullopt;
    const auto entry = FindPins(*host);
    if (!entry || entry->pins.empty())
        return std::nullopt;
    VerifiedServer server;
    {
        const std::lock_guard<std::mutex> guard(lock);
        const auto found = Servers().find(*host);
        if (found == Servers().end())
            return std::nullopt;
        server = found->second;
    }
    // Judged by the pins in force now: the chain may have been accepted under other pins.
    if (!ChainPassesHostPins(server.chain, *host))
        return std::nullopt;
    return std::move(server.certificateDer);
}

std::vector<std::u16string> PinnedHostsPassing() {
    std::vector<std::u16string> hosts;
    {
        const std::lock_guard<std::mutex> guard(lock);
        for (const auto& [host, server] : Servers())
            hosts.push_back(host);
    }
    std::erase_if(hosts, [](const std::u16string& host) { return !PinnedCertificateOf(host); });
    return hosts;
}

}  // namespace kestrum
