#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "tools/kestrum_platform/chains.h"

namespace kestrum::platform {

enum class PinsAnswer { kArray, kObject, kMalformed, kError };

struct Options {
    bool help = false;
    std::string writeChainDirectory;  // non-empty: write the chain and the pins, then exit

    std::string address = "127.0.0.1";
    int port = 8443;  // 0: any free port (printed at start)
    std::optional<int> controlPort;
    std::optional<int> attackerPort;
    std::string attackerAddress = "127.0.0.2";
    AttackerChain attackerChain = AttackerChain::kWrongKey;
    std::optional<int> hostilePort;
    int hostileLifetimeSeconds = 60;

    std::string versionAnswer = "none";  // none|optional|mandatory or a JSON text
    PinsAnswer pinsAnswer = PinsAnswer::kArray;
    std::vector<std::pair<std::string, std::string>> redirects;  // path, location
    std::vector<std::pair<std::string, double>> slowPaths;       // path, seconds
    std::vector<std::string> extraPinScopes;  // further scopes the pins document names
};

// Parses the arguments after the program name. On bad input returns nothing and sets
// `error` to a message that names the argument.
std::optional<Options> ParseOptions(const std::vector<std::string>& args, std::string& error);

std::string UsageText();

// Checks a --version-answer or --pins-answer value; shared with the control listener.
bool ValidVersionAnswer(const std::string& value);
std::optional<PinsAnswer> ParsePinsAnswer(const std::string& value);
std::string PinsAnswerName(PinsAnswer answer);

}  // namespace kestrum::platform
