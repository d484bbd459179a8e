#pragma once

#include <string>
#include <string_view>

namespace kestrum {

// The page the browser shows when a page of the player cannot be loaded (a host that does not
// answer, a name that does not resolve, a refused certificate): the player's own, readable on
// its dark background, in English and Arabic, with the engine's reason and the address. Both
// come from outside and are escaped.
std::u16string LoadErrorPage(std::u16string_view address, std::u16string_view reason);

}  // namespace kestrum
