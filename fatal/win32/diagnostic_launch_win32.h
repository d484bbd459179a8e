#pragma once

#include "fatal/fatal_error.h"

namespace kestrum {

// Starts the diagnostic dialog for `error`: the system's HTML application host ("mshta",
// found as the system finds programs) showing the dialog's page, detached from this process
// and not waited for. False when the process could not be started.
bool StartDiagnosticDialog(const FatalError& error);

}  // namespace kestrum
