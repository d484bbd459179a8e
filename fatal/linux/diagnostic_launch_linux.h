#pragma once

#include <string>
#include <vector>

#include "fatal/fatal_error.h"

namespace kestrum {

inline constexpr const char* kDiagnosticProgramName = "kestrum-diagnostic";

// The dialog program's arguments: option and value pairs, values in UTF-8 and allowed to begin
// with "-".
std::vector<std::string> DiagnosticProgramArguments(const FatalError& error);

// Starts the diagnostic dialog for `error` in its own session, not a child of this process,
// and does not wait for it. The program is taken from beside this executable, else from PATH.
// False when it could not be started.
bool StartDiagnosticProgram(const FatalError& error);

}  // namespace kestrum
