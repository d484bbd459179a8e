#pragma once

#include <string>

namespace kestrum {

// The running program's file, as the kernel names it; empty when it cannot be read.
std::string OwnExecutablePath();

// The folder of that file (no trailing slash); empty when unknown. Companion files (the
// diagnostic program, the web-process extension) are looked for there first.
std::string OwnExecutableFolder();

}  // namespace kestrum
