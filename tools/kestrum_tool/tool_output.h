#pragma once

#include <string>

namespace kestrum {

// One line of the tool's answer on standard output, flushed at once (the tool may end by
// exit() from a fatal-error presenter).
void PrintLine(const std::string& text);

}  // namespace kestrum
