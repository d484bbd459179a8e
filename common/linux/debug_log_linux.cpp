#include <cstdio>
#include <string>

#include "common/debug_log.h"
#include "common/support_log.h"

namespace kestrum {

void DebugLog(std::string_view text) {
    // One write per line keeps lines whole when several threads log at once.
    std::string line(text);
    line.push_back('\n');
    std::fwrite(line.data(), 1, line.size(), stderr);
    std::fflush(stderr);
    WriteSupportLog(text);
}

}  // namespace kestrum
