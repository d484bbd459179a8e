#pragma once

#include <string>

namespace kestrum {

// Whether the shell may be asked to open this update address: an https address with a host,
// and nothing the shell could take for more than one address or for its own syntax (blanks,
// control characters, quotes). Only the shell's side of the check; the start-up chooses the
// address.
bool IsOpenableUpdateAddress(const std::u16string& address);

// Opens the address with the desktop's handler (verb "open", no owner, shown normally) when
// it is openable; false when it was refused or could not be opened.
bool OpenUpdateAddress(const std::u16string& address);

}  // namespace kestrum
