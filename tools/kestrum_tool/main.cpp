// kestrum-tool: the support engineer's view of links and diagnostic codes, built from the
// player's own code and platform profile.
//
//   kestrum-tool decode-link '<link>'
//   kestrum-tool mint-link --token T --content C --server S
//   kestrum-tool decode-diagnostic '<code>'
//   kestrum-tool probe <url>
//   kestrum-tool resolve-link '<link>'
//
// --trace before the command also prints the player's own trace lines on standard error.
#include <cstdio>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "app/link_argument.h"
#include "common/platform_profile.h"
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

constexpr const char* kUsage =
    "usage: kestrum-tool [--trace] decode-link '<link>'\n"
    "       kestrum-tool [--trace] mint-link --token T --content C --server S\n"
    "       kestrum-tool [--trace] decode-diagnostic '<code>'\n"
    "       kestrum-tool [--trace] probe <url>\n"
    "       kestrum-tool [--trace] resolve-link '<link>'\n"
    "       kestrum-tool --help | --version\n";

int Usage() {
    std::fputs(kUsage, stderr);
    return 2;
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

int MintLinkCommand(const std::vector<std::string>& args) {
    std::string token, content, server;
    bool haveToken = false, haveContent = false, haveServer = false;
    for (std::size_t i = 0; i + 1 < args.size(); i += 2) {
        if (args[i] == "--token") {
            token = args[i + 1];
            haveToken = true;
        } else if (args[i] == "--content") {
            content = args[i + 1];
            haveContent = true;
        } else if (args[i] == "--server") {
            server = args[i + 1];
            haveServer = true;
        } else {
            return Usage();
        }
    }
    if (args.size() % 2 != 0 || !haveToken || !haveContent || !haveServer)
        return Usage();

    const kestrum::SecretText key = kestrum::RestoreProfileSecret(kestrum::ProfileItem::kLinkKey);
    std::string link = Utf16ToUtf8(kestrum::AppContext::schemeName) + ":";
    link += kestrum::EncryptEnvelope(token, key.value()) + ":";
    link += kestrum::EncryptEnvelope(content, key.value()) + ":";
    link += kestrum::EncryptEnvelope(server, key.value());
    kestrum::PrintLine(link);
    return 0;
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
        return Usage();
    if (args.front() == "--help" || args.front() == "-h") {
        std::printf("%s", kUsage);
        return 0;
    }
    if (args.front() == "--version" || args.front() == "-V") {
        std::printf("kestrum-tool %s\n", Utf16ToUtf8(kestrum::AppContext::versionText).c_str());
        return 0;
    }

    try {
        const std::string command = args.front();
        if (command == "decode-link" && args.size() == 2) {
            return DecodeLinkCommand(commandLine.argv[commandLine.argv.size() - 1]);
        }
        if (command == "mint-link") {
            return MintLinkCommand(std::vector<std::string>(args.begin() + 1, args.end()));
        }
        if (command == "probe" && args.size() == 2) {
            return kestrum::ProbeCommand(commandLine.argv[commandLine.argv.size() - 1]);
        }
        if (command == "resolve-link" && args.size() == 2) {
            return kestrum::ResolveLinkCommand(commandLine.argv[commandLine.argv.size() - 1]);
        }
        if (command == "decode-diagnostic" && args.size() == 2) {
            std::string why;
            const auto text = kestrum::ReadDiagnosticCode(args[1], why);
            if (!text) {
                std::fprintf(stderr, "kestrum-tool: %s\n", why.c_str());
                return 1;
            }
            kestrum::PrintLine(*text);
            return 0;
        }
    } catch (const std::exception& error) {
        std::fprintf(stderr, "kestrum-tool: %s\n", error.what());
        return 1;
    }
    return Usage();
}
