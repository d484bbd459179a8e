#pragma once

#include <string>

#include "app/startup_sequence.h"

namespace kestrum {

// The single-instance guard named `mutexName`, held for the life of the process (a named
// mutex on Windows; an exclusive file lock on Linux, which the system drops when its holder
// dies, so a crashed instance never blocks the next start).
StartupPlatform::InstanceResult AcquireInstanceGuard(const std::u16string& mutexName);
void ReleaseInstanceGuard();

}  // namespace kestrum
