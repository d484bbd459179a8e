#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kestrum {

// Pieces between delimiters, read the way successive getline calls read them: empty pieces
// between adjacent delimiters and an empty first piece are kept, a delimiter at the very end
// adds no empty last piece, and an empty text gives no pieces.
std::vector<std::u16string> SplitText(std::u16string_view text, char16_t delimiter);

}  // namespace kestrum
