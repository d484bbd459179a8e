#pragma once

#include <functional>
#include <string>

#include "app/win32/installer_download_win32.h"

namespace kestrum {

// Makes sure a browser runtime can be used before any browser is created: a private runtime
// beside the program, or one installed on the machine; otherwise offers to download and run
// the runtime's installer, and looks again. Shows its own messages. True when a runtime is
// available at return.
bool EnsureBrowserRuntime();

// The same with the installer's address (asked for only once the learner accepted) and the
// download's limits given; tests serve their own installer through it.
bool EnsureBrowserRuntimeFrom(const std::function<std::u16string()>& installerAddress,
                              const DownloadLimits& limits);

}  // namespace kestrum
