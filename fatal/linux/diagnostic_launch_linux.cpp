#include "fatal/linux/diagnostic_launch_linux.h"

#include <glib.h>
#include <unistd.h>

#include <string>

#include "common/debug_log.h"
#include "common/linux/own_executable_linux.h"
#include "common/text_encoding.h"

namespace kestrum {
namespace {

// Runs in the started process before the program: a session of its own, so that the player's
// terminal or process group ending does not take the dialog with it.
void NewSession(gpointer) {
    setsid();
}

}  // namespace

std::vector<std::string> DiagnosticProgramArguments(const FatalError& error) {
    return {"--title",  Utf16ToUtf8(error.title),      "--english", Utf16ToUtf8(error.englishText),
            "--arabic", Utf16ToUtf8(error.arabicText), "--code",    error.code};
}

bool StartDiagnosticProgram(const FatalError& error) {
    std::string program = CompanionProgram(kDiagnosticProgramName);
    if (program.empty())
        program = kDiagnosticProgramName;
    std::vector<std::string> arguments = DiagnosticProgramArguments(error);
    std::vector<char*> argv;
    argv.push_back(program.data());
    for (std::string& argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);

    // Without G_SPAWN_DO_NOT_REAP_CHILD GLib forks twice, so the dialog is adopted by init and
    // outlives this process without becoming a zombie of it.
    GError* failure = nullptr;
    const gboolean started = g_spawn_async(nullptr, argv.data(), nullptr, G_SPAWN_SEARCH_PATH,
                                           NewSession, nullptr, nullptr, &failure);
    if (!started) {
        DebugLog(std::string("Diagnostic dialog could not be started: ") +
                 (failure != nullptr ? failure->message : "unknown reason"));
        g_clear_error(&failure);
        return false;
    }
    return true;
}

}  // namespace kestrum
