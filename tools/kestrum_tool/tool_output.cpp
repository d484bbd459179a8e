#include "tools/kestrum_tool/tool_output.h"

#include <cstdio>

namespace kestrum {

void PrintLine(const std::string& text) {
    const std::string line = text + "\n";
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fflush(stdout);
}

}  // namespace kestrum
