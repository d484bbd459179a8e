// kestrum-tool: the support engineer's view of links and diagnostic codes, built from the
// player's own code and platform profile.
//
//   kestrum-tool decode-link '<link>'
//   kestrum-tool mint-link --token T --content C --server S
//   kestrum-tool decode-diagnostic '<code>'
//   kestrum-tool probe <url>
//   kestrum-tool resolve-link '<link>'
//   kestrum-tool log-path
//   kestrum-tool COMMAND --help
//
// --trace before the command also prints the player's own trace lines on standard error.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <iterator>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

#include "app/link_argument.h"
#include "common/platform_profile.h"
#include "common/support_log.h"
#include "common/support_log_folder.h"
#include "common/text_encoding.h"
#include "fatal/diagnostic_code.h"
#include "link/envelope.h"
#include "link/scheme_args.h"
#include "tools/kestrum_tool/probe_command.h"
#include "tools/kestrum_tool/resolve_command.h"
#include "tools/kestrum_tool/tool_output.h"
#include "tools/kestrum_tool/tool_trace.h"

namespace {

using kestrum::Utf16ToUtf8;

// One command: its name, what follows it, and how many plain arguments it takes (mint-link
// reads options instead).
struct Command {
    const char* name;
    const char* arguments;
    const char* summary;
    int plainArguments;
};

constexpr Command kCommands[] = {
    {"decode-link", "'<link>'", "the token, content and server a link carries", 1},
    {"mint-link", "--token T --content C --server S", "a link the player accepts", -1},
    {"decode-diagnostic", "'<code>'", "the text of a diagnostic code from the error dialog", 1},
    {"probe", "<url>", "one request through the player's pinned client", 1},
    {"resolve-link", "'<link>'", "the content the player would show for a link", 1},
    {"log-path", "", "where the player writes its support log", 0},
};

std::string CommandLineOf(const Command& command) {
    std::string line = std::string("kestrum-tool [--trace] ") + command.name;
    if (command.arguments[0] != '\0')
        line += std::string(" ") + command.arguments;
    return line;
}

std::string Usage() {
    std::string text;
    for (const Command& command : kCommands)
        text += (text.empty() ? "usage: " : "       ") + CommandLineOf(command) + "\n";
    text += "       kestrum-tool --help | --version\n";
    text += "       kestrum-tool COMMAND --help\n";
    return text;
}

int ShowUsageError(const std::string& what) {
    std::fprintf(stderr, "kestrum-tool: %s\n%s", what.c_str(), Usage().c_str());
    return 2;
}

int ShowCommandError(const Command& command, const std::string& what) {
    std::fprintf(stderr, "kestrum-tool %s: %s\nusage: %s\n", command.name, what.c_str(),
                 CommandLineOf(command).c_str());
    return 2;
}

bool IsHelp(const std::string& argument) {
    return argument == "--help" || argument == "-h";
}

// Why `args` (after the command's name) do not fit `command`; empty when they do.
std::string WrongArguments(const Command& command, const std::vector<std::string>& args) {
    if (command.plainArguments < 0)
        return {};
    for (const std::string& argument : args) {
        if (argument.size() > 1 && argument[0] == '-')
            return "unknown option " + argument;
    }
    if (args.size() == static_cast<std::size_t>(command.plainArguments))
        return {};
    if (command.plainArguments == 0)
        return "takes no arguments";
    return args.empty() ? std::string("missing ") + command.arguments
                        : "takes one argument, not " + std::to_string(args.size());
}

int DecodeLinkCommand(const std::u16string& link) {
    kestrum::DecodedLink decoded;
    std::string reason;
    if (!kestrum::DecodeLink(link, decoded, reason)) {
        kestrum::PrintLine(reason);
        return 1;
    }
    nlohmann::ordered_json out;
    out["token"] = decoded.token;
    out["content"] = decoded.contentLinkId;
    out["server"] = decoded.server;
    // Replace rather than throw on bytes that are not UTF-8: the tool reports, never crashes.
    kestrum::PrintLine(out.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace));
    return 0;
}

int MintLinkCommand(const Command& command, const std::vector<std::string>& args) {
    const char* names[] = {"--token", "--content", "--server"};
    std::optional<std::string> values[3];
    for (std::size_t i = 0; i < args.size(); i += 2) {
        const auto* name = std::find(std::begin(names), std::end(names), args[i]);
        if (name == std::end(names))
            return ShowCommandError(command, "unknown option " + args[i]);
        if (i + 1 == args.size())
            return ShowCommandError(command, args[i] + " needs a value");
        values[name - std::begin(names)] = args[i + 1];
    }
    for (std::size_t i = 0; i < 3; ++i) {
        if (!values[i])
            return ShowCommandError(command, std::string("missing ") + names[i]);
    }

    const kestrum::SecretText key = kestrum::RestoreProfileSecret(kestrum::ProfileItem::kLinkKey);
    std::string link = Utf16ToUtf8(kestrum::AppContext::schemeName) + ":";
    for (std::size_t i = 0; i < 3; ++i)
        link += kestrum::EncryptEnvelope(*values[i], key.value()) + (i < 2 ? ":" : "");
    kestrum::PrintLine(link);
    return 0;
}

int LogPathCommand() {
    const std::filesystem::path folder = kestrum::SupportLogFolder();
    if (folder.empty()) {
        std::fputs("kestrum-tool: the system does not say where the user's files go\n", stderr);
        return 1;
    }
    const std::u8string path = (folder / kestrum::kSupportLogFileName).u8string();
    kestrum::PrintLine(std::string(path.begin(), path.end()));
    return 0;
}

int DecodeDiagnosticCommand(const std::string& code) {
    std::string why;
    const auto text = kestrum::ReadDiagnosticCode(code, why);
    if (!text) {
        std::fprintf(stderr, "kestrum-tool: %s\n", why.c_str());
        return 1;
    }
    kestrum::PrintLine(*text);
    return 0;
}

int RunCommand(const Command& command, const std::vector<std::string>& args,
               const std::u16string& lastWide) {
    const std::string name = command.name;
    if (name == "mint-link")
        return MintLinkCommand(command, args);
    if (name == "decode-link")
        return DecodeLinkCommand(lastWide);
    if (name == "probe")
        return kestrum::ProbeCommand(lastWide);
    if (name == "resolve-link")
        return kestrum::ResolveLinkCommand(lastWide);
    if (name == "decode-diagnostic")
        return DecodeDiagnosticCommand(args[0]);
    return LogPathCommand();
}

}  // namespace

int main(int argc, char** argv) {
    const kestrum::CommandLine commandLine = kestrum::ReadCommandLine(argc, argv);
    std::vector<std::string> args;
    for (std::size_t i = 1; i < commandLine.argv.size(); ++i) {
        args.push_back(Utf16ToUtf8(commandLine.argv[i]));
    }
    if (!args.empty() && args.front() == "--trace") {
        kestrum::EnableToolTrace();
        args.erase(args.begin());
    }
    if (args.empty())
        return ShowUsageError("no command given");
    if (IsHelp(args.front())) {
        std::printf("%s", Usage().c_str());
        return 0;
    }
    if (args.front() == "--version" || args.front() == "-V") {
        std::printf("kestrum-tool %s\n", Utf16ToUtf8(kestrum::AppContext::versionText).c_str());
        return 0;
    }

    const auto* command = std::find_if(std::begin(kCommands), std::end(kCommands),
                                       [&](const Command& c) { return args.front() == c.name; });
    if (command == std::end(kCommands))
        return ShowUsageError("unknown command '" + args.front() + "'");
    const std::vector<std::string> rest(args.begin() + 1, args.end());
    if (!rest.empty() && IsHelp(rest.front())) {
        std::printf("usage: %s\n  %s\n", CommandLineOf(*command).c_str(), command->summary);
        return 0;
    }
    if (const std::string wrong = WrongArguments(*command, rest); !wrong.empty())
        return ShowCommandError(*command, wrong);

    try {
        // The link or address as given, not as re-encoded from UTF-8.
        return RunCommand(*command, rest, commandLine.argv.back());
    } catch (const std::exception& error) {
        std::fprintf(stderr, "kestrum-tool: %s\n", error.what());
        return 1;
    }
}
