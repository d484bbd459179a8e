#pragma once

#include <string>

namespace kestrum {

// kestrum-tool probe <url>: one GET through a client set up like the player's shared one
// (built-in pins, then the service's pins), reporting the answer or the error text and, for
// each certificate the server showed, its pin and whether it matched the host's pins.
int ProbeCommand(const std::u16string& url);

}  // namespace kestrum
