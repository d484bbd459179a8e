// kestrum-platform: the stand-in for the platform's HTTPS service, on loopback, for the
// player's tests and demonstrations. See --help.
#include <signal.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "tools/kestrum_platform/catalogue.h"
#include "tools/kestrum_platform/chains.h"
#include "tools/kestrum_platform/hostile_listener.h"
#include "tools/kestrum_platform/links.h"
#include "tools/kestrum_platform/listeners.h"
#include "tools/kestrum_platform/options.h"
#include "tools/kestrum_platform/platform_routes.h"
#include "tools/kestrum_platform/service_profile.h"

namespace {

using namespace kestrum::platform;

constexpr const char* kDemoToken = "demo-token-0100";

void Print(const std::string& line) {
    std::fputs((line + "\n").c_str(), stdout);
    std::fflush(stdout);
}

int WriteChainCommand(const Pki& pki, const std::string& directory) {
    WriteChain(pki, directory);
    Print("wrote ca.pem, intermediate.pem, leaf.pem, leaf.key into " + directory);
    for (const auto& [name, pin] : NamedPins(pki))
        Print("pin " + name + " " + pin);
    return 0;
}

// The sample links by name: one per catalogue content, a direct address, and the refusals.
nlohmann::ordered_json MintSampleLinks(
    const std::vector<SampleContent>& catalogue, const std::string& origin,
    std::vector<std::pair<std::string, std::string>>& pageLinks) {
    nlohmann::ordered_json links;
    const auto add = [&](const std::string& name, const std::string& summary,
                         const std::string& token, const std::string& content) {
        const std::string link = MintLink(token, content, origin);
        links[name] = link;
        pageLinks.emplace_back(summary, link);
    };
    for (const auto& content : catalogue)
        add(content.id, content.summary, kDemoToken, content.id);
    add("direct-address", "an address carried in the link itself", kDemoToken,
        origin + "/content/lesson-page.html");
    add("expired-session", "refused: the session has ended", "expired", "lesson-page");
    add("unknown-lesson", "refused: no such lesson", kDemoToken, "no-such-lesson");
    add(kArabicRefusalId, "refused, in Arabic", kDemoToken, kArabicRefusalId);
    return links;
}

int Serve(const Options& options, const Pki& pki) {
    const ServiceProfile profile = LoadServiceProfile();
    std::vector<std::string> pins;
    for (const auto& [name, pin] : NamedPins(pki))
        pins.push_back(pin);
    if (pins != profile.defaultPins) {
        std::fputs(
            "kestrum-platform: warning: the profile's default pins are not this "
            "chain's; a player built with it will refuse this service\n",
            stderr);
    }

    // Stop signals are taken by sigwait below, in this thread only; every listener thread
    // inherits the mask. A peer that hangs up mid-answer must not end the process.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
    signal(SIGPIPE, SIG_IGN);

    RequestLog log;
    StopSignal stop;
    Listeners listeners(log);
    const int port =
        listeners.BindTls("platform", options.address, options.port, GenuineIdentity(pki));
    std::vector<std::string> listening = {"listening platform https://" + options.address + ":" +
                                          std::to_string(port)};
    if (options.attackerPort) {
        const int attackerPort =
            listeners.BindTls("attacker", options.attackerAddress, *options.attackerPort,
                              AttackerIdentity(options.attackerChain, pki));
        listening.push_back(
            "listening attacker https://" + options.attackerAddress + ":" +
            std::to_string(attackerPort) + " (" +
            (options.attackerChain == AttackerChain::kWrongKey ? "wrong-key" : "forged-issuer") +
            ")");
    }
    std::unique_ptr<HostileListener> hostile;
    if (options.hostilePort) {
        hostile = std::make_unique<HostileListener>(
            log, GenuineIdentity(pki), std::chrono::seconds(options.hostileLifetimeSeconds));
        const int hostilePort = hostile->Bind(options.address, *options.hostilePort);
        listening.push_back("listening hostile https://" + profile.host + ":" +
                            std::to_string(hostilePort));
    }
    if (options.controlPort) {
        const int controlPort = listeners.BindControl("127.0.0.1", *options.controlPort);
        listening.push_back("listening control http://127.0.0.1:" + std::to_string(controlPort));
    }

    const std::string origin = "https://" + profile.host + ":" + std::to_string(port);
    std::vector<SampleContent> catalogue = BuildCatalogue(origin);
    std::vector<std::pair<std::string, std::string>> pageLinks;
    nlohmann::ordered_json links = MintSampleLinks(catalogue, origin, pageLinks);
    for (const auto& [name, link] : links.items())
        Print("link " + name + " " + link.get<std::string>());

    PlatformService service(profile, std::move(catalogue), pins, std::move(pageLinks), options,
                            stop);
    listeners.Start(service, std::move(links));
    if (hostile)
        hostile->Start();
    for (const auto& line : listening)
        Print(line);
    Print("ready");

    int received = 0;
    sigwait(&stopSignals, &received);
    Print(std::string("stopping (") + (received == SIGINT ? "SIGINT" : "SIGTERM") + ")");
    stop.Stop();
    if (hostile)
        hostile->Stop();
    listeners.Stop();
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    std::string error;
    const auto options = ParseOptions(std::vector<std::string>(argv + 1, argv + argc), error);
    if (!options) {
        std::fprintf(stderr, "kestrum-platform: %s\nSee kestrum-platform --help.\n", error.c_str());
        return 2;
    }
    if (options->help) {
        std::fputs(UsageText().c_str(), stdout);
        return 0;
    }
    try {
        const Pki pki = BuildGenuinePki();
        if (!options->writeChainDirectory.empty())
            return WriteChainCommand(pki, options->writeChainDirectory);
        return Serve(*options, pki);
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "kestrum-platform: %s\n", failure.what());
        return 1;
    }
}
