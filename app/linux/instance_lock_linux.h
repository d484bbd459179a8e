#pragma once

#include <string>

#include "app/instance_guard.h"

namespace kestrum {

// On Linux the guard is a lock on a file named like the Windows mutex (without "Local\")
// in the user's runtime folder.

// The folder the lock files live in: $XDG_RUNTIME_DIR, else a private folder of this user
// under the temporary folder.
std::string InstanceLockFolder();

}  // namespace kestrum
