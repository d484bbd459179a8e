#pragma once

#include <string>
#include <string_view>

namespace kestrum {

// Lower-cased copy, one UTF-16 code unit at a time, as the C library's wide lower-casing maps
// code units in its default "C" locale: A-Z become a-z, every other unit stays. Never the
// process's locale, which the toolkit sets from the desktop (under tr_TR "I" would become a
// dotless i), so the result is the same for every learner.
std::u16string ToLowerCopy(std::u16string_view text);

// The "C" locale's lower-casing of one code unit.
constexpr char16_t ToLowerUnit(char16_t unit) {
    return (unit >= u'A' && unit <= u'Z') ? static_cast<char16_t>(unit + (u'a' - u'A')) : unit;
}

// The same mapping, for texts that are ASCII by nature (header names, scheme words).
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
