#pragma once

#include <string>
#include <string_view>

namespace kestrum {

// The player's wide texts are UTF-16 on every platform (the browser and Windows speak it);
// narrow texts are UTF-8. Ill-formed input is never rejected: each bad sequence becomes
// U+FFFD, as the system converters do.
std::u16string Utf8ToUtf16(std::string_view text);
std::string Utf16ToUtf8(std::u16string_view text);

// Widens an ASCII/byte text code unit by code unit (no decoding).
std::u16string WidenBytes(std::string_view text);

}  // namespace kestrum
