#pragma once

#include <string>

namespace kestrum {

// Registers the player for this user as the handler of "<scheme>:" links, pointing at the
// executable that runs now (written on every start; nothing is ever deleted). False when
// nothing could be written.
bool RegisterUrlScheme(const std::u16string& scheme, const std::u16string& description,
                       const std::u16string& executablePath);

}  // namespace kestrum
