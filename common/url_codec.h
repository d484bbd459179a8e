#pragma once

#include <string>
#include <string_view>

namespace kestrum {

// Percent-decoding, byte-wise on the UTF-8 form. "%" followed by two characters that read as
// a hexadecimal number (blanks skipped and a sign accepted, as stream extraction reads
// them) becomes the low byte of that number; anything else, including a "%" among the last
// two characters, stays as it is. "+" stays "+".
std::u16string UrlDecode(std::u16string_view text);

// Percent-encoding of the UTF-8 form: letters, digits, "-", ".", "_" and "~" stay; every
// other byte becomes "%" and two lower-case hexadecimal digits.
std::u16string UrlEncode(std::u16string_view text);

// The value of one hexadecimal digit, or -1 for any other character.
int HexDigitValue(char c);

}  // namespace kestrum
