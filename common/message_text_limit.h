#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace kestrum {

// What a message box shows at most: a service's message can be any size, and a box must
// stay readable and on the screen (and quick to lay out).
constexpr std::size_t kMessageBoxMaxLines = 15;
constexpr std::size_t kMessageBoxMaxUnits = 800;  // UTF-16 code units
// A longer run without a blank gets invisible break opportunities, so that a box can wrap it
// instead of growing wider than the screen.
constexpr std::size_t kMessageBoxMaxRunUnits = 40;

// The text cut to kMessageBoxMaxLines lines and kMessageBoxMaxUnits code units; a cut is
// marked with an ellipsis (U+2026), on a line of its own when whole lines were dropped. Runs
// of more than kMessageBoxMaxRunUnits units without white space get a zero-width space
// (U+200B) after every kMessageBoxMaxRunUnits units. Never splits a surrogate pair. A text
// within all limits comes back unchanged.
std::u16string LimitMessageText(std::u16string_view text);

}  // namespace kestrum
