#include "app/link_argument.h"

#include "common/app_context.h"
#include "common/text_case.h"

namespace kestrum {
namespace {

std::u16string SchemePrefix() {
    return std::u16string(AppContext::schemeName) + u":";
}

}  // namespace

std::u16string ChooseLinkArgument(const CommandLine& commandLine) {
    std::u16string argument;
    if (commandLine.argv.size() > 1)
        argument = commandLine.argv[1];
    if (argument.empty() && Contains(commandLine.tail, SchemePrefix())) {
        argument = commandLine.tail;
    }
    return argument;
}

bool HasSchemeArgs(const std::u16string& linkArgument) {
    return Contains(ToLowerCopy(linkArgument), SchemePrefix());
}

}  // namespace kestrum
