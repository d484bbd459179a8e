#pragma once

#include <cstdint>
#include <string>

namespace kestrum {

// Outcomes of the browser host's steps, in the form the Windows browser runtime reports them
// (negative is a failure), so that both engines produce the same status texts.
using HResult = std::int32_t;

inline constexpr HResult kSOk = 0;
inline constexpr HResult kEFail = static_cast<HResult>(0x80004005u);
inline constexpr HResult kEAbort = static_cast<HResult>(0x80004004u);
inline constexpr HResult kEPending = static_cast<HResult>(0x8000000Au);
inline constexpr HResult kEInvalidArg = static_cast<HResult>(0x80070057u);

// A system error code as a failure: positive codes become 0x8007xxxx, others stay as they are.
HResult HResultFromWin32(std::int64_t error);

// "0x%08X" of the value taken as unsigned.
std::u16string FormatHResult(HResult value);

}  // namespace kestrum
