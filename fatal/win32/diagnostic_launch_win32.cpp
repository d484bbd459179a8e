#include "fatal/win32/diagnostic_launch_win32.h"

#include <windows.h>

#include <string>

#include "fatal/diagnostic_document.h"

namespace kestrum {

bool StartDiagnosticDialog(const FatalError& error) {
    const std::u16string commandLine =
        BuildDiagnosticCommandLine(error.title, error.englishText, error.arabicText, error.code);
    // CreateProcessW may write into the command line: hand it a copy it owns.
    std::wstring writable(commandLine.begin(), commandLine.end());
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(nullptr, writable.data(), nullptr, nullptr, FALSE, DETACHED_PROCESS,
                        nullptr, nullptr, &startup, &process)) {
        return false;
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

}  // namespace kestrum
