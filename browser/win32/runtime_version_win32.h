#pragma once

#include <string>

namespace kestrum {

// The version of the browser runtime in `browserFolder` (a private runtime), or of the
// runtime installed on the machine for an empty folder, as the runtime loader finds it;
// empty when there is none it could load.
std::u16string AvailableBrowserVersion(const std::u16string& browserFolder);

}  // namespace kestrum
