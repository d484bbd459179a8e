#pragma once

namespace kestrum {

// The scheme of the local "Blocked" answers to requests whose host failed its pin check: the
// web-process extension points such a request there, the player answers it.
inline constexpr char kBlockedScheme[] = "kestrum-blocked";
// Where a refused top-level navigation is pointed instead: the player fails that load, and
// the page it would have replaced stays.
inline constexpr char kRefusedNavigationUri[] = "kestrum-blocked://refused/";

}  // namespace kestrum
