#include <gtest/gtest.h>

#include "common/message_text_limit.h"

namespace kestrum {
namespace {

std::u16string Lines(std::size_t count) {
    std::u16string text;
    for (std::size_t i = 0; i < count; ++i)
        text += (i ? u"\n" : u"") + std::u16string(u"line");
    return text;
}

// `units` copies of `unit` with a zero-width space after every full run.
std::u16string Broken(std::size_t units, char16_t unit) {
    std::u16string text;
    for (std::size_t i = 0; i < units; ++i) {
        if (i && i % kMessageBoxMaxRunUnits == 0)
            text += u'\u200B';
        text += unit;
    }
    return text;
}

TEST(LimitMessageText, KeepsTextsWithinTheLimitsAsTheyAre) {
    const std::u16string bilingual = u"The session has ended.\n\u0627\u0646\u062a\u0647\u062a";
    EXPECT_EQ(LimitMessageText(bilingual), bilingual);
    EXPECT_EQ(LimitMessageText(u""), u"");
    EXPECT_EQ(LimitMessageText(Lines(kMessageBoxMaxLines)), Lines(kMessageBoxMaxLines));
    const std::u16string words = u"word " + std::u16string(kMessageBoxMaxRunUnits, u'x') + u" end";
    EXPECT_EQ(LimitMessageText(words), words);
}

TEST(LimitMessageText, CutsHugeServiceMessagesWithAnEllipsis) {
    // 100,000 lines: the first lines, then an ellipsis on a line of its own.
    EXPECT_EQ(LimitMessageText(Lines(100000)), Lines(kMessageBoxMaxLines) + u"\n\u2026");

    // A megabyte on one line, without a blank: cut, and breakable where a box wraps it.
    EXPECT_EQ(LimitMessageText(std::u16string(1 << 20, u'w')),
              Broken(kMessageBoxMaxUnits, u'w') + u"\u2026");

    // A pair of surrogates across the cut is dropped whole, and none is split by a break.
    std::u16string emoji(kMessageBoxMaxUnits - 1, u' ');
    emoji += u"\U0001F600tail";
    EXPECT_EQ(LimitMessageText(emoji), std::u16string(kMessageBoxMaxUnits - 1, u' ') + u"\u2026");
    std::u16string pairs;
    for (int i = 0; i < 30; ++i)
        pairs += u"\U0001F600";
    const std::u16string limited = LimitMessageText(pairs);
    for (std::size_t i = 1; i < limited.size(); ++i) {
        const bool low = limited[i] >= 0xDC00 && limited[i] <= 0xDFFF;
        EXPECT_EQ(low, limited[i - 1] >= 0xD800 && limited[i - 1] <= 0xDBFF) << i;
    }
    EXPECT_NE(limited.find(u'\u200B'), std::u16string::npos);
}

}  // namespace
}  // namespace kestrum
