#pragma once

#include <string_view>

namespace kestrum {

// Replaces the clipboard's content with `text` as Unicode text (the system offers it to
// programs that ask for ANSI text as well). False when the clipboard could not be opened or
// did not take the text.
bool PutTextOnClipboard(std::u16string_view text);

}  // namespace kestrum
