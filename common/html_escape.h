#pragma once

#include <string>
#include <string_view>

namespace kestrum {

// Escapes the five characters that are special in HTML text and attribute values.
std::u16string HtmlEscape(std::u16string_view text);

}  // namespace kestrum
