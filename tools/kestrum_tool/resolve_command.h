#pragma once

#include <string>

namespace kestrum {

// kestrum-tool resolve-link '<link>': the player's whole link handling against the live
// service (pins, content data, page script), printing the content it would show.
int ResolveLinkCommand(const std::u16string& link);

}  // namespace kestrum
