#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace kestrum {

// What a message box shows at most: a service's message can be any size, and a box must
// stay readable and on the screen (and quick to lay out).
constexpr std::size_t kMessageBoxMaxLines = 20;
constexpr std::size_t kMessageBoxMaxUnits = 1500;  // UTF-16 code units

// The text cut to kMessageBoxMaxLines lines and kMessageBoxMaxUnits code units; a cut is
// marked with an ellipsis ("\u2026"), on a line of its own when whole lines were dropped.
// Never splits a surrogate pair. A text within both limits comes back unchanged.
std::u16string LimitMessageText(std::u16string_view text);

}  // namespace kestrum
