#pragma once

#include <string>
#include <string_view>

namespace kestrum {

// Makes a text safe inside a single-quoted script string: line breaks, both quotation marks
// and the backslash are escaped, and "<" and ">" are written as \x3C and \x3E so that the
// text cannot close a <script> element.
std::u16string EscapeJsString(std::u16string_view text);

}  // namespace kestrum
