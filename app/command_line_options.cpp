#include "app/command_line_options.h"

#include "app/link_argument.h"
#include "common/app_context.h"
#include "common/text_encoding.h"

namespace kestrum {
namespace {

std::string VersionText() {
    return Utf16ToUtf8(AppContext::productName) + " " + Utf16ToUtf8(AppContext::versionText) + "\n";
}

std::string HelpText() {
    const std::string scheme = Utf16ToUtf8(AppContext::schemeName);
    return "Usage: kestrum [" + scheme + ":LINK]\n" +
           "       kestrum --help | --version\n"
           "\n"
           "Opens the lesson a " +
           scheme +
           ": link points to; the browser starts the player with the link.\n"
           "Without a link the player opens its start window.\n"
           "\n"
           "  -h, --help     print this help and exit\n"
           "  -V, --version  print the version and exit\n";
}

CommandLineDecision Refuse(const std::string& why) {
    return {CommandLineAction::kRefuse,
            "kestrum: " + why + "\nTry 'kestrum --help' for the options.\n", 2};
}

}  // namespace

CommandLineDecision DecideCommandLine(const std::vector<std::u16string>& arguments) {
    if (arguments.empty())
        return {};
    const std::u16string& first = arguments.front();
    if (first.empty() || first.front() != u'-' || HasSchemeArgs(first))
        return {};
    if (first == u"--help" || first == u"-h")
        return {CommandLineAction::kShowHelp, HelpText(), 0};
    if (first == u"--version" || first == u"-V")
        return {CommandLineAction::kShowVersion, VersionText(), 0};
    return Refuse("unknown option '" + Utf16ToUtf8(first) + "'");
}

}  // namespace kestrum
