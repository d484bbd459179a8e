#include <windows.h>
// after windows.h
#include <shellapi.h>

#include "app/link_argument.h"

namespace kestrum {
namespace {

std::u16string FromWide(const wchar_t* text) {
    return text ? std::u16string(reinterpret_cast<const char16_t*>(text)) : std::u16string();
}

// The text after the program name, as the system passes it to WinMain: the program token
// (quoted or up to the first blank) and the blanks after it are skipped.
std::u16string CommandTail(const std::u16string& full) {
    std::size_t i = 0;
    if (i < full.size() && full[i] == u'"') {
        ++i;
        while (i < full.size() && full[i] != u'"')
            ++i;
        if (i < full.size())
            ++i;
    } else {
        while (i < full.size() && full[i] != u' ' && full[i] != u'\t')
            ++i;
    }
    while (i < full.size() && (full[i] == u' ' || full[i] == u'\t'))
        ++i;
    return full.substr(i);
}

}  // namespace

CommandLine ReadCommandLine(int /*argc*/, char** /*argv*/) {
    CommandLine commandLine;
    const wchar_t* full = GetCommandLineW();
    commandLine.tail = CommandTail(FromWide(full));
    int count = 0;
    if (LPWSTR* args = CommandLineToArgvW(full, &count)) {
        for (int i = 0; i < count; ++i)
            commandLine.argv.push_back(FromWide(args[i]));
        LocalFree(args);
    }
    return commandLine;
}

}  // namespace kestrum
