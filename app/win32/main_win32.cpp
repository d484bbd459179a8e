// The player's entry point on Windows.
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "app/command_line_options.h"
#include "app/link_argument.h"
#include "app/player_support_log.h"
#include "app/win32/win32_startup_platform.h"

namespace {

// A window program has no console of its own: text goes to the handle the caller gave us
// (a pipe or a file when captured), otherwise to the console of the shell that started us.
void WriteAnswer(const std::string& text, DWORD which) {
    HANDLE handle = GetStdHandle(which);
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE) {
        if (AttachConsole(ATTACH_PARENT_PROCESS))
            handle = GetStdHandle(which);
    }
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE)
        return;
    DWORD written = 0;
    WriteFile(handle, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

// Help, version and wrong options are answered before any window, the instance guard or the
// network are touched.
std::optional<int> AnswerOptions() {
    const kestrum::CommandLine commandLine = kestrum::ReadCommandLine(0, nullptr);
    const std::vector<std::u16string> arguments(
        commandLine.argv.size() > 1 ? commandLine.argv.begin() + 1 : commandLine.argv.end(),
        commandLine.argv.end());
    const kestrum::CommandLineDecision decision = kestrum::DecideCommandLine(arguments);
    if (decision.action == kestrum::CommandLineAction::kRun)
        return std::nullopt;
    WriteAnswer(decision.text, decision.action == kestrum::CommandLineAction::kRefuse
                                   ? STD_ERROR_HANDLE
                                   : STD_OUTPUT_HANDLE);
    return decision.exitCode;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int) {
    if (const auto code = AnswerOptions())
        return *code;
    kestrum::StartPlayerSupportLog();
    kestrum::Win32StartupPlatform platform(instance, commandLine);
    return kestrum::RunStartup(platform);
}
