#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace kestrum {

// The code a learner sends to support when a link fails: the text
// "ERRDIAG|v1|ts=<unix seconds>|mk=<device identifier>|reason=<reason>|END", each byte XORed
// with the repeating 16-byte diagnostic key, then Base64.
std::string BuildDiagnosticCode(std::string_view reason, std::u16string_view deviceId,
                                std::int64_t unixSeconds);

// The same with the current time and the device identifier read from `deviceIdSource`.
std::string BuildDiagnosticCode(std::string_view reason,
                                const std::function<std::u16string()>& deviceIdSource);

// Support's side: the unscrambled text of a code (garbage in, garbage out).
std::string DecodeDiagnosticCode(std::string_view code);

// Support's side, checked: the unscrambled record when `code` (blanks around it ignored, as
// pasted from a mail) is canonical Base64 of a complete record; otherwise nothing, and `why`
// says what is wrong.
std::optional<std::string> ReadDiagnosticCode(std::string_view code, std::string& why);

}  // namespace kestrum
