#include "common/split_text.h"

namespace kestrum {

std::vector<std::u16string> SplitText(std::u16string_view text, char16_t delimiter) {
    std::vector<std::u16string> pieces;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find(delimiter, start);
        if (end == std::u16string_view::npos) {
            pieces.emplace_back(text.substr(start));
            break;
        }
        pieces.emplace_back(text.substr(start, end - start));
        start = end + 1;
    }
    return pieces;
}

}  // namespace kestrum
