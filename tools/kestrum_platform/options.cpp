#include "tools/kestrum_platform/options.h"

#include <arpa/inet.h>

#include <charconv>
#include <nlohmann/json.hpp>

#include "tools/kestrum_platform/hostile_answers.h"

namespace kestrum::platform {
namespace {

bool ParsePort(const std::string& text, int& port) {
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, port);
    return !text.empty() && error == std::errc() && stop == end && port >= 0 && port <= 65535;
}

// A stand-in whose private keys anyone can derive must not answer beyond this machine.
bool IsLoopback(const std::string& address) {
    in_addr v4{};
    if (inet_pton(AF_INET, address.c_str(), &v4) == 1)
        return (ntohl(v4.s_addr) >> 24) == 127;
    return address == "::1";
}

}  // namespace

std::string UsageText() {
    std::string modes;
    for (const auto& [name, summary] : HostileModes())
        modes += "  " + name + std::string(name.size() < 20 ? 20 - name.size() : 1, ' ') + summary +
                 "\n";
    return "usage: kestrum-platform [options]\n"
           "       kestrum-platform --write-chain DIR\n"
           "\n"
           "The stand-in for the platform's HTTPS service, on loopback. Addresses, paths and\n"
           "names come from the build's platform profile. Prints the sample links, the\n"
           "listening addresses and then \"ready\"; SIGINT or SIGTERM stop it.\n"
           "\n"
           "  --port N                 HTTPS port (default 8443; 0 picks a free one)\n"
           "  --address A              loopback address (default 127.0.0.1)\n"
           "  --control-port N         plain-HTTP control listener on 127.0.0.1 (0: free):\n"
           "                           GET /__log, POST /__log/clear, GET /__links,\n"
           "                           GET|POST /__settings {\"pins\", \"version\"}\n"
           "                           (a POST needs a Content-Length, even of 0)\n"
           "  --attacker-port N        a second TLS listener with a chain that must fail\n"
           "                           the player's pins (0: free port)\n"
           "  --attacker-address A     its address (default 127.0.0.2)\n"
           "  --attacker-chain K       wrong-key (default) or forged-issuer\n"
           "  --hostile-port N         a TLS listener with the genuine chain whose answers\n"
           "                           are hostile: /__hostile/MODE[/...] (0: free port)\n"
           "  --hostile-lifetime S     its connections end after S seconds (1 to 600,\n"
           "                           default 60), whatever they are doing\n"
           "  --version-answer V       none (default), optional, mandatory or a JSON text\n"
           "  --pins-answer P          array (default), object, malformed or error (500)\n"
           "  --redirect-path P[=L]    answer P with 302 to L (default \"/\"); repeatable\n"
           "  --slow-path P=SECONDS    wait before answering P (at most 300 s); repeatable\n"
           "  --pin-scope HOST         the pins document also pins HOST to this service's\n"
           "                           keys (for a page host whose pins must fail); repeatable\n"
           "  --write-chain DIR        write ca.pem, intermediate.pem, leaf.pem, leaf.key\n"
           "                           into DIR, print the pins, and exit\n"
           "  --help                   this text\n"
           "\n"
           "Test paths: /__test/redirect, /__test/huge (20 MiB), /__test/garbage,\n"
           "/__test/status/NNN.\n"
           "\n"
           "Hostile modes (HEAD requests, the player's pre-flight, are answered plainly):\n" +
           modes;
}

bool ValidVersionAnswer(const std::string& value) {
    return value == "none" || value == "optional" || value == "mandatory" ||
           nlohmann::json::accept(value);
}

std::optional<PinsAnswer> ParsePinsAnswer(const std::string& value) {
    if (value == "array")
        return PinsAnswer::kArray;
    if (value == "object")
        return PinsAnswer::kObject;
    if (value == "malformed")
        return PinsAnswer::kMalformed;
    if (value == "error")
        return PinsAnswer::kError;
    return std::nullopt;
}

std::string PinsAnswerName(PinsAnswer answer) {
    switch (answer) {
        case PinsAnswer::kArray:
            return "array";
        case PinsAnswer::kObject:
            return "object";
        case PinsAnswer::kMalformed:
            return "malformed";
        case PinsAnswer::kError:
            return "error";
    }
    return "array";
}

std::optional<Options> ParseOptions(const std::vector<std::string>& args, std::string& error) {
    Options options;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& name = args[i];
        if (name == "--help" || name == "-h") {
            options.help = true;
            continue;
        }
        if (i + 1 >= args.size()) {
            error = name.rfind("--", 0) == 0 ? name + " needs a value" : "unknown argument " + name;
            return std::nullopt;
        }
        const std::string& value = args[++i];
        const auto badValue = [&](const std::string& why) {
            error = "bad value for " + name + ": \"" + value + "\" (" + why + ")";
            return std::nullopt;
        };
        int port = 0;
        if (name == "--port" || name == "--control-port" || name == "--attacker-port" ||
            name == "--hostile-port") {
            if (!ParsePort(value, port))
                return badValue("a port is a number from 0 to 65535");
            if (name == "--port")
                options.port = port;
            else if (name == "--control-port")
                options.controlPort = port;
            else if (name == "--hostile-port")
                options.hostilePort = port;
            else
                options.attackerPort = port;
        } else if (name == "--hostile-lifetime") {
            int seconds = 0;
            const char* end = value.data() + value.size();
            const auto [stop, parseError] = std::from_chars(value.data(), end, seconds);
            if (value.empty() || parseError != std::errc() || stop != end || seconds < 1 ||
                seconds > 600)
                return badValue("SECONDS from 1 to 600");
            options.hostileLifetimeSeconds = seconds;
        } else if (name == "--address" || name == "--attacker-address") {
            if (!IsLoopback(value))
                return badValue("only loopback addresses");
            (name == "--address" ? options.address : options.attackerAddress) = value;
        } else if (name == "--attacker-chain") {
            if (value == "wrong-key")
                options.attackerChain = AttackerChain::kWrongKey;
            else if (value == "forged-issuer")
                options.attackerChain = AttackerChain::kForgedIssuer;
            else
                return badValue("wrong-key or forged-issuer");
        } else if (name == "--version-answer") {
            if (!ValidVersionAnswer(value))
                return badValue("none, optional, mandatory or a JSON text");
            options.versionAnswer = value;
        } else if (name == "--pins-answer") {
            const auto answer = ParsePinsAnswer(value);
            if (!answer)
                return badValue("array, object, malformed or error");
            options.pinsAnswer = *answer;
        } else if (name == "--redirect-path") {
            const auto equals = value.find('=');
            const std::string path = value.substr(0, equals);
            const std::string location =
                equals == std::string::npos ? "/" : value.substr(equals + 1);
            if (path.empty() || path[0] != '/' || location.empty())
                return badValue("PATH or PATH=LOCATION, PATH starting with \"/\"");
            options.redirects.emplace_back(path, location);
        } else if (name == "--slow-path") {
            const auto equals = value.find('=');
            if (equals == std::string::npos || equals == 0 || value[0] != '/')
                return badValue("PATH=SECONDS, PATH starting with \"/\"");
            const std::string secondsText = value.substr(equals + 1);
            double seconds = 0;
            const char* end = secondsText.data() + secondsText.size();
            const auto [stop, parseError] = std::from_chars(secondsText.data(), end, seconds);
            if (secondsText.empty() || parseError != std::errc() || stop != end ||
                !(seconds >= 0 && seconds <= 300))
                return badValue("SECONDS from 0 to 300");
            options.slowPaths.emplace_back(value.substr(0, equals), seconds);
        } else if (name == "--pin-scope") {
            if (value.empty() || value.find_first_of(" /:") != std::string::npos)
                return badValue("a host name or address");
            options.extraPinScopes.push_back(value);
        } else if (name == "--write-chain") {
            if (value.empty())
                return badValue("a directory");
            options.writeChainDirectory = value;
        } else {
            error = "unknown option " + name;
            return std::nullopt;
        }
    }
    return options;
}

}  // namespace kestrum::platform
