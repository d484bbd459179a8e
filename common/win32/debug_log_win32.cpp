#include <windows.h>

#include <string>

#include "common/debug_log.h"
#include "common/support_log.h"

namespace kestrum {

void DebugLog(std::string_view text) {
    const std::string line(text);
    OutputDebugStringA(line.c_str());
    OutputDebugStringA("\n");
    WriteSupportLog(text);
}

}  // namespace kestrum
