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

TEST(LimitMessageText, KeepsTextsWithinTheLimitsAsTheyAre) {
    const std::u16string bilingual = u"The session has ended.\n\u0627\u0646\u062a\u0647\u062a";
    EXPECT_EQ(LimitMessageText(bilingual), bilingual);
    EXPECT_EQ(LimitMessageText(u""), u"");
    EXPECT_EQ(LimitMessageText(Lines(kMessageBoxMaxLines)), Lines(kMessageBoxMaxLines));
    const std::u16string full(kMessageBoxMaxUnits, u'x');
    EXPECT_EQ(LimitMessageText(full), full);
}

TEST(LimitMessageText, CutsHugeServiceMessagesWithAnEllipsis) {
    // 100,000 lines: the first lines, then an ellipsis on a line of its own.
    const std::u16string manyLines = LimitMessageText(Lines(100000));
    EXPECT_EQ(manyLines, Lines(kMessageBoxMaxLines) + u"\n\u2026");

    // A megabyte on one line.
    const std::u16string oneLine = LimitMessageText(std::u16string(1 << 20, u'w'));
    EXPECT_EQ(oneLine, std::u16string(kMessageBoxMaxUnits, u'w') + u"\u2026");

    // A pair of surrogates across the cut is dropped whole.
    std::u16string emoji(kMessageBoxMaxUnits - 1, u'a');
    emoji += u"\U0001F600tail";
    EXPECT_EQ(LimitMessageText(emoji), std::u16string(kMessageBoxMaxUnits - 1, u'a') + u"\u2026");
}

}  // namespace
}  // namespace kestrum
