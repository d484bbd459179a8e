#include <gtest/gtest.h>

#include "common/text_encoding.h"
#include "fatal/countdown_layout.h"

namespace kestrum {
namespace {

CountdownContent Sample(int secondsLeft) {
    CountdownContent content;
    content.title = u"Link Error";
    content.englishText = u"English";
    content.arabicText = u"عربي";
    content.code = "QUJD";
    content.secondsLeft = secondsLeft;
    return content;
}

const CountdownText& TextShowing(const CountdownScene& scene, std::u16string_view text) {
    for (const CountdownText& item : scene.texts) {
        if (item.text == text)
            return item;
    }
    ADD_FAILURE() << "no text " << Utf16ToUtf8(text);
    static const CountdownText none;
    return none;
}

TEST(CountdownLayout, PlacesEveryElementForTheMeasuredTextHeights) {
    // W = 698: the 700 pixel window less its 1 pixel border. h1 = 40, h2 = 25, so F = 65.
    const CountdownScene s = LayoutCountdown(Sample(10), 698, 40, 25);
    EXPECT_EQ(s.background, 0x1A1A2Eu);
    EXPECT_EQ(s.icon, (LayoutRect{317, 20, 381, 84}));
    EXPECT_EQ(s.ruleY, 137);
    EXPECT_EQ(s.ruleLeft, 40);
    EXPECT_EQ(s.ruleRight, 658);
    EXPECT_EQ(s.circle, (LayoutRect{304, 247, 394, 337}));
    EXPECT_EQ(s.circlePenWidth, 3);
    EXPECT_EQ(s.circleFill, 0x0F3460u);
    EXPECT_EQ(s.codeBox, (LayoutRect{30, 421, 668, 451}));
    EXPECT_EQ(s.codeBoxFrame, 0xE94560u);

    struct Expected {
        std::u16string text;
        LayoutRect box;
        int pixels;
        bool bold;
        std::uint32_t colour;
        CountdownFlow flow;
        bool centredVertically, rightToLeft, ellipsis;
        CountdownFont font;
    };
    using F = CountdownFlow;
    const auto ui = CountdownFont::kInterface;
    const Expected table[] = {
        {u"Link Error",
         {20, 92, 678, 127},
         24,
         true,
         0xE94560,
         F::kSingleLine,
         false,
         false,
         false,
         ui},
        {u"English",
         {30, 152, 668, 192},
         16,
         false,
         0xCCCCCC,
         F::kWrapped,
         false,
         false,
         false,
         ui},
        {u"عربي", {30, 202, 668, 227}, 16, false, 0xB4B4B4, F::kWrapped, false, true, false, ui},
        {u"10", {304, 257, 394, 327}, 60, true, 0xE94560, F::kSingleLine, true, false, false, ui},
        {u"Application will close in 10 seconds...",
         {20, 347, 678, 367},
         13,
         false,
         0x888888,
         F::kSingleLine,
         false,
         false,
         false,
         ui},
        {u"سيتم إغلاق التطبيق خلال 10 ثوانٍ...",
         {20, 369, 678, 389},
         13,
         false,
         0x888888,
         F::kSingleLine,
         false,
         true,
         false,
         ui},
        {u"🔒 Diagnostic Code / كود التشخيص",
         {20, 399, 678, 417},
         13,
         false,
         0xE94560,
         F::kSingleLine,
         false,
         false,
         false,
         ui},
        {u"QUJD",
         {35, 423, 663, 449},
         12,
         false,
         0xE94560,
         F::kSingleLine,
         true,
         false,
         true,
         CountdownFont::kMonospace},
        {u"Code copied to clipboard automatically",
         {20, 456, 678, 472},
         13,
         false,
         0x646464,
         F::kSingleLine,
         false,
         false,
         false,
         ui},
    };
    EXPECT_EQ(s.texts.size(), std::size(table));
    for (const Expected& e : table) {
        const CountdownText& t = TextShowing(s, e.text);
        SCOPED_TRACE(Utf16ToUtf8(e.text));
        EXPECT_EQ(t.box, e.box);
        EXPECT_EQ(t.pixelHeight, e.pixels);
        EXPECT_EQ(t.bold, e.bold);
        EXPECT_EQ(t.colour, e.colour);
        EXPECT_EQ(t.flow, e.flow);
        EXPECT_EQ(t.centredVertically, e.centredVertically);
        EXPECT_EQ(t.rightToLeft, e.rightToLeft);
        EXPECT_EQ(t.ellipsisAtEnd, e.ellipsis);
        EXPECT_EQ(t.font, e.font);
    }
    EXPECT_EQ(s.texts[kCountdownEnglishTextIndex].text, u"English");
    EXPECT_EQ(s.texts[kCountdownArabicTextIndex].text, u"عربي");
}

TEST(CountdownLayout, TextHeightsCountAsAtLeastTwenty) {
    struct Case {
        int h1, h2, englishBottom, arabicTop, arabicBottom, circleTop;
    };
    const Case cases[] = {
        {0, 0, 172, 182, 202, 222},  // nothing measured
        {19, 5, 172, 182, 202, 222},
        {21, 20, 173, 183, 203, 223},  // just above the floor counts as measured
        {120, 60, 272, 282, 342, 362},
    };
    for (const Case& c : cases) {
        const CountdownScene s = LayoutCountdown(Sample(3), 700, c.h1, c.h2);
        SCOPED_TRACE(testing::Message() << c.h1 << "/" << c.h2);
        EXPECT_EQ(s.texts[kCountdownEnglishTextIndex].box.bottom, c.englishBottom);
        EXPECT_EQ(s.texts[kCountdownArabicTextIndex].box.top, c.arabicTop);
        EXPECT_EQ(s.texts[kCountdownArabicTextIndex].box.bottom, c.arabicBottom);
        EXPECT_EQ(s.circle.top, c.circleTop);
    }
}

TEST(CountdownLayout, WidthOddAndNarrowKeepsCentresByIntegerDivision) {
    const CountdownScene s = LayoutCountdown(Sample(1), 301, 20, 20);
    EXPECT_EQ(s.icon.left, 118);    // (301 - 64) / 2
    EXPECT_EQ(s.circle.left, 105);  // 301 / 2 - 45
    EXPECT_EQ(s.circle.right, 195);
    EXPECT_EQ(s.ruleRight, 261);
}

TEST(CountdownLayout, NoticesCarryTheSecondsLeft) {
    EXPECT_EQ(TextShowing(LayoutCountdown(Sample(7), 700, 0, 0), u"7").pixelHeight, 60);
    EXPECT_EQ(CountdownEnglishNotice(1), u"Application will close in 1 seconds...");
    EXPECT_EQ(CountdownArabicNotice(10), u"سيتم إغلاق التطبيق خلال 10 ثوانٍ...");
}

TEST(CountdownLayout, FallbackMessagesHoldBothTextsAndTheCodeOrTheSeconds) {
    EXPECT_EQ(CountdownFallbackText(u"Failed.", u"فشل.", 10),
              u"Failed.\n\nفشل.\n\nThe application will close in 10 seconds.");
    EXPECT_EQ(DialogFallbackText(u"Failed.", u"فشل.", "SSL_host"),
              u"Failed.\n\nفشل.\n\nDiagnostic Code:\nSSL_host");
}

}  // namespace
}  // namespace kestrum
