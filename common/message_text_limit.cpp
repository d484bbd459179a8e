#include "common/message_text_limit.h"

namespace kestrum {
namespace {

constexpr char16_t kEllipsis = u'\u2026';
constexpr char16_t kZeroWidthSpace = u'\u200B';

bool IsHighSurrogate(char16_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}

bool IsBlank(char16_t unit) {
    return unit == u' ' || unit == u'\n' || unit == u'\r' || unit == u'\t' ||
           unit == kZeroWidthSpace;
}

std::u16string Cut(std::u16string_view text) {
    std::size_t lines = 1;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == u'\n' && ++lines > kMessageBoxMaxLines)
            return std::u16string(text.substr(0, i)) + u'\n' + kEllipsis;
        if (i == kMessageBoxMaxUnits) {
            std::size_t end = i;
            if (IsHighSurrogate(text[end - 1]))
                --end;  // the high half of a pair goes with its low half
            return std::u16string(text.substr(0, end)) + kEllipsis;
        }
    }
    return std::u16string(text);
}

std::u16string BreakLongRuns(const std::u16string& text) {
    std::u16string result;
    result.reserve(text.size());
    std::size_t run = 0;
    for (char16_t unit : text) {
        const bool lowSurrogate = unit >= 0xDC00 && unit <= 0xDFFF;  // stays with its pair
        if (run >= kMessageBoxMaxRunUnits && !IsBlank(unit) && !lowSurrogate && unit != kEllipsis) {
            result += kZeroWidthSpace;
            run = 0;
        }
        result += unit;
        run = IsBlank(unit) ? 0 : run + 1;
    }
    return result;
}

}  // namespace

std::u16string LimitMessageText(std::u16string_view text) {
    return BreakLongRuns(Cut(text));
}

}  // namespace kestrum
