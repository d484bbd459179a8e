#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kestrum {

// What the fatal countdown window shows and where, so that each platform only measures two
// texts and draws the result.

inline constexpr int kCountdownWindowWidth = 700;
inline constexpr int kCountdownWindowHeight = 600;
inline constexpr int kCountdownSeconds = 10;
inline constexpr int kCountdownTickMilliseconds = 1000;
inline constexpr std::u16string_view kCountdownWindowTitle = u"Security Alert";

struct LayoutRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool operator==(const LayoutRect&) const = default;
};

enum class CountdownFont { kInterface, kMonospace };
enum class CountdownFlow { kSingleLine, kWrapped };

struct CountdownText {
    LayoutRect box;  // drawing is clipped to it
    std::u16string text;
    CountdownFont font = CountdownFont::kInterface;
    int pixelHeight = 0;  // character height (the em size) in pixels
    bool bold = false;
    std::uint32_t colour = 0;  // 0xRRGGBB
    CountdownFlow flow = CountdownFlow::kSingleLine;
    bool centredVertically = false;  // otherwise at the top of the box
    bool rightToLeft = false;
    bool ellipsisAtEnd = false;  // a single line too long for the box ends in "..."
};

struct CountdownScene {
    std::uint32_t background = 0;
    LayoutRect icon;
    int ruleY = 0;
    int ruleLeft = 0;
    int ruleRight = 0;
    std::uint32_t ruleColour = 0;
    LayoutRect circle;  // the ellipse's bounding box
    int circlePenWidth = 0;
    std::uint32_t circleLine = 0;
    std::uint32_t circleFill = 0;
    LayoutRect codeBox;  // filled, then framed with a 1 px line
    std::uint32_t codeBoxFill = 0;
    std::uint32_t codeBoxFrame = 0;
    // Centred horizontally in their boxes; the English and Arabic texts are the first two.
    std::vector<CountdownText> texts;
};

struct CountdownContent {
    std::u16string title;
    std::u16string englishText;
    std::u16string arabicText;
    std::string code;
    int secondsLeft = kCountdownSeconds;
};

inline constexpr std::size_t kCountdownEnglishTextIndex = 0;
inline constexpr std::size_t kCountdownArabicTextIndex = 1;

// The scene for a client area `clientWidth` wide. `englishHeight` and `arabicHeight` are the
// measured heights of the two wrapped texts (texts[0] and texts[1] of a scene laid out with
// any heights give their fonts and wrap widths); each counts as at least 20.
CountdownScene LayoutCountdown(const CountdownContent& content, int clientWidth, int englishHeight,
                               int arabicHeight);

std::u16string CountdownEnglishNotice(int secondsLeft);
std::u16string CountdownArabicNotice(int secondsLeft);

// The message that replaces the countdown when its window cannot be shown.
std::u16string CountdownFallbackText(std::u16string_view englishText,
                                     std::u16string_view arabicText, int seconds);

// The message that replaces the diagnostic dialog when it cannot be started.
std::u16string DialogFallbackText(std::u16string_view englishText, std::u16string_view arabicText,
                                  std::string_view code);

}  // namespace kestrum
