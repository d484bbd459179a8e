#pragma once

namespace kestrum {

// The scheme of the local "Blocked" answers to requests whose host failed its pin check: the
// web-process extension points such a request there, the player answers it.
inline constexpr char kBlockedScheme[] = "kestrum-blocked";

}  // namespace kestrum
