#include "common/message_text_limit.h"

namespace kestrum {

std::u16string LimitMessageText(std::u16string_view text) {
    constexpr char16_t kEllipsis = u'\u2026';
    std::size_t lines = 1;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == u'\n' && ++lines > kMessageBoxMaxLines)
            return std::u16string(text.substr(0, i)) + u'\n' + kEllipsis;
        if (i == kMessageBoxMaxUnits) {
            std::size_t end = i;
            if (text[end - 1] >= 0xD800 && text[end - 1] <= 0xDBFF)
                --end;  // the high half of a pair goes with its low half
            return std::u16string(text.substr(0, end)) + kEllipsis;
        }
    }
    return std::u16string(text);
}

}  // namespace kestrum
