#include "fatal/countdown_layout.h"

#include <algorithm>

#include "common/text_encoding.h"

namespace kestrum {
namespace {

constexpr std::uint32_t kBackground = 0x1A1A2E;
constexpr std::uint32_t kAccent = 0xE94560;
constexpr std::uint32_t kDeepBlue = 0x0F3460;
constexpr std::uint32_t kEnglishGrey = 0xCCCCCC;
constexpr std::uint32_t kArabicGrey = 0xB4B4B4;
constexpr std::uint32_t kNoticeGrey = 0x888888;
constexpr std::uint32_t kDimGrey = 0x646464;
constexpr int kMinimumTextHeight = 20;

std::u16string Decimal(int value) {
    const std::string digits = std::to_string(value);
    return std::u16string(digits.begin(), digits.end());
}

CountdownText Text(LayoutRect box, std::u16string text, int pixelHeight, std::uint32_t colour) {
    CountdownText item;
    item.box = box;
    item.text = std::move(text);
    item.pixelHeight = pixelHeight;
    item.colour = colour;
    return item;
}

}  // namespace

CountdownScene LayoutCountdown(const CountdownContent& content, int clientWidth, int englishHeight,
                               int arabicHeight) {
    const int w = clientWidth;
    const int h1 = std::max(englishHeight, kMinimumTextHeight);
    const int h2 = std::max(arabicHeight, kMinimumTextHeight);
    const int f = h1 + h2;

    CountdownScene scene;
    scene.background = kBackground;
    scene.icon = {(w - 64) / 2, 20, (w - 64) / 2 + 64, 84};
    scene.ruleY = 137;
    scene.ruleLeft = 40;
    scene.ruleRight = w - 40;
    scene.ruleColour = kAccent;
    scene.circle = {w / 2 - 45, f + 182, w / 2 + 45, f + 272};
    scene.circlePenWidth = 3;
    scene.circleLine = kAccent;
    scene.circleFill = kDeepBlue;
    scene.codeBox = {30, f + 356, w - 30, f + 386};
    scene.codeBoxFill = kDeepBlue;
    scene.codeBoxFrame = kAccent;

    CountdownText english =
        Text({30, 152, w - 30, 152 + h1}, content.englishText, 16, kEnglishGrey);
    english.flow = CountdownFlow::kWrapped;
    CountdownText arabic =
        Text({30, 162 + h1, w - 30, 162 + h1 + h2}, content.arabicText, 16, kArabicGrey);
    arabic.flow = CountdownFlow::kWrapped;
    arabic.rightToLeft = true;
    scene.texts.push_back(std::move(english));
    scene.texts.push_back(std::move(arabic));

    CountdownText title = Text({20, 92, w - 20, 127}, content.title, 24, kAccent);
    title.bold = true;
    scene.texts.push_back(std::move(title));

    CountdownText seconds =
        Text({w / 2 - 45, f + 192, w / 2 + 45, f + 262}, Decimal(content.secondsLeft), 60, kAccent);
    seconds.bold = true;
    seconds.centredVertically = true;
    scene.texts.push_back(std::move(seconds));

    scene.texts.push_back(Text({20, f + 282, w - 20, f + 302},
                               CountdownEnglishNotice(content.secondsLeft), 13, kNoticeGrey));
    CountdownText arabicNotice = Text({20, f + 304, w - 20, f + 324},
                                      CountdownArabicNotice(content.secondsLeft), 13, kNoticeGrey);
    arabicNotice.rightToLeft = true;
    scene.texts.push_back(std::move(arabicNotice));

    scene.texts.push_back(Text({20, f + 334, w - 20, f + 352},
                               u"\U0001F512 Diagnostic Code / كود التشخيص", 13, kAccent));

    CountdownText code =
        Text({35, f + 358, w - 35, f + 384}, WidenBytes(content.code), 12, kAccent);
    code.font = CountdownFont::kMonospace;
    code.centredVertically = true;
    code.ellipsisAtEnd = true;
    scene.texts.push_back(std::move(code));

    scene.texts.push_back(Text({20, f + 391, w - 20, f + 407},
                               u"Code copied to clipboard automatically", 13, kDimGrey));
    return scene;
}

std::u16string CountdownEnglishNotice(int secondsLeft) {
    return u"Application will close in " + Decimal(secondsLeft) + u" seconds...";
}

std::u16string CountdownArabicNotice(int secondsLeft) {
    return u"سيتم إغلاق التطبيق خلال " + Decimal(secondsLeft) + u" ثوانٍ...";
}

std::u16string CountdownFallbackText(std::u16string_view englishText,
                                     std::u16string_view arabicText, int seconds) {
    std::u16string text(englishText);
    text += u"\n\n";
    text += arabicText;
    text += u"\n\nThe application will close in " + Decimal(seconds) + u" seconds.";
    return text;
}

std::u16string DialogFallbackText(std::u16string_view englishText, std::u16string_view arabicText,
                                  std::string_view code) {
    std::u16string text(englishText);
    text += u"\n\n";
    text += arabicText;
    text += u"\n\nDiagnostic Code:\n";
    text += WidenBytes(code);
    return text;
}

}  // namespace kestrum
