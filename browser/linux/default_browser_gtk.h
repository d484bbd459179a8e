#pragma once

#include <string>

namespace kestrum {

// Opens the address in the desktop's default web browser, through GIO's handler for its
// scheme: the address is handed over as the launched program's single address argument,
// never through a shell. False when no program took it.
bool OpenInDefaultBrowser(const std::string& address);

}  // namespace kestrum
