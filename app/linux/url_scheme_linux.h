#pragma once

#include <string>

#include "app/url_scheme.h"

namespace kestrum {

// On Linux the registration is the desktop's: a desktop entry under
// $XDG_DATA_HOME/applications whose Exec line passes the link as the one argument, made the
// default handler of x-scheme-handler/<scheme> in $XDG_CONFIG_HOME/mimeapps.list (other
// entries of the list are kept).

// The entry's and the list's contents, separated from the file writing for tests.
std::string DesktopEntryText(const std::string& scheme, const std::string& description,
                             const std::string& executablePath, const std::string& icon);
std::string WithDefaultHandler(const std::string& mimeAppsList, const std::string& mimeType,
                               const std::string& desktopFile);

}  // namespace kestrum
