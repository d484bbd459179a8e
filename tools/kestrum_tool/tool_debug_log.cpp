#include <atomic>
#include <cstdio>
#include <string>

#include "common/debug_log.h"
#include "tools/kestrum_tool/tool_trace.h"

namespace kestrum {
namespace {

std::atomic<bool> traceEnabled{false};

}  // namespace

void EnableToolTrace() {
    traceEnabled = true;
}

void DebugLog(std::string_view text) {
    if (!traceEnabled)
        return;
    std::string line(text);
    line.push_back('\n');
    std::fwrite(line.data(), 1, line.size(), stderr);
}

}  // namespace kestrum
