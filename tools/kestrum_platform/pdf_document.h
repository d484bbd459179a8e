#pragma once

#include <string>

namespace kestrum::platform {

// A one-page PDF showing `line` (ASCII), written out by hand with a correct cross-reference
// table, so the player's PDF kinds have a real document to open.
std::string OnePagePdf(const std::string& line);

}  // namespace kestrum::platform
