#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kestrum {

// Engines whose script messages do not say which frame posted them: the bridge is given to
// the top document only, with a key the host draws for its browser, and puts the key before
// every message. Frames (a third-party embed) can reach the handler, but not the key.

// The bridge script for a top document, carrying `key` (hexadecimal digits).
std::u16string TopDocumentBridgeScript(std::u16string_view key);

// The message the top document posted, or nothing when `posted` does not carry the key (a
// frame's message, which the player never acts on). An empty key accepts nothing.
std::optional<std::u16string> TopDocumentMessage(std::u16string_view posted,
                                                 std::u16string_view key);

}  // namespace kestrum
