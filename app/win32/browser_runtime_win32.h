#pragma once

namespace kestrum {

// Makes sure a browser runtime can be used before any browser is created: a private runtime
// beside the program, or one installed on the machine; otherwise offers to download and run
// the runtime's installer, and looks again. Shows its own messages. True when a runtime is
// available at return.
bool EnsureBrowserRuntime();

}  // namespace kestrum
