#pragma once

#include <string>
#include <string_view>

#include "common/app_context.h"

namespace kestrum {

enum class NavigationDecision { kAllow, kCancel };

// The main window's judgement of a top-level navigation: the learner stays on the content
// of the link (its address, the pages below it, its site and the link server's site), the
// outside services on the allow-list, the content's video CDN family for kinds "url_direct"
// and "video", and YouTube or Zoom while the content is there. Everything else is cancelled.
NavigationDecision ContentNavigationPolicy(std::u16string_view uri, const AppContext& context);

// The start window follows the platform site the learner is on: the value `linkServer`
// takes after a navigation to `uri` starts, which is the origin of an http(s) address
// (scheme and authority as received) unless it equals `linkServer` apart from letter case,
// or `linkServer` unchanged (other addresses, the tenant selection page).
std::u16string StartWindowLinkServer(std::u16string_view uri, std::u16string_view linkServer);

}  // namespace kestrum
