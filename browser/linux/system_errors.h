#pragma once

#include <cstdint>

namespace kestrum {

// The Windows system error code that means the same as an errno value, so that the browser
// host's status texts read alike on both platforms (access denied is 5 on both).
std::int64_t SystemErrorFromErrno(int error);

}  // namespace kestrum
