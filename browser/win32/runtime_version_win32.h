#pragma once

#include <string>

namespace kestrum {

// The version of the browser runtime in `browserFolder` (a private runtime: the product
// version of its "msedgewebview2.exe"), or of the runtime installed on the machine for an
// empty folder (machine-wide first, then the user's); empty when there is none.
std::u16string AvailableBrowserVersion(const std::u16string& browserFolder);

// The installed runtime's version as its updater records it: absent, empty and "0.0.0.0"
// all mean not installed.
bool IsInstalledVersion(const std::u16string& recorded);

}  // namespace kestrum
