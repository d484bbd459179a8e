#pragma once

#include <functional>

namespace kestrum {

// The procedure that closes the browser hosts on the main thread before the process ends on
// a fatal error. Installed by the start-up before any other thread exists, cleared at a
// normal exit.
void SetShutdownHook(std::function<void()> hook);

// Runs the installed hook the first time it is called in the process (from any thread);
// later calls, also concurrent ones, do nothing.
void RunShutdownHookOnce();

}  // namespace kestrum
