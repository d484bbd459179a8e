#pragma once

#include <string>
#include <string_view>

namespace kestrum {

// Standard alphabet with "=" padding, no line breaks.
std::string Base64Encode(std::string_view bytes);

// Lenient decoder: stops silently at the first "=" or at the first character outside the
// alphabet; a trailing partial group of 2 or 3 characters yields 1 or 2 bytes, a single
// leftover character yields nothing. Never fails.
std::string Base64Decode(std::string_view text);

}  // namespace kestrum
