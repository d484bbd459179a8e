#pragma once

#include <string_view>

namespace kestrum {

// One line of diagnostic output (ASCII): the debugger on Windows, standard error on Linux.
void DebugLog(std::string_view text);

}  // namespace kestrum
