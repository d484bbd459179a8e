#pragma once

#include <string>
#include <string_view>

namespace kestrum {

// Lower-cased copy, one UTF-16 code unit at a time through the C library's wide lower-casing.
std::u16string ToLowerCopy(std::u16string_view text);

// Lower-cases A-Z only; for texts whose comparison must not depend on the C library's locale.
std::u16string ToLowerAscii(std::u16string_view text);

bool StartsWith(std::u16string_view text, std::u16string_view prefix);
bool EndsWith(std::u16string_view text, std::u16string_view suffix);
bool Contains(std::u16string_view text, std::u16string_view part);

// Removes trailing "/" and "\" characters, one at a time.
void TrimTrailingSlashes(std::u16string& text);
void TrimTrailingSlashes(std::string& text);
// Removes leading "/" and "\" characters, one at a time.
void TrimLeadingSlashes(std::u16string& text);

}  // namespace kestrum
