#pragma once

#include "link/scheme_args.h"

namespace kestrum {

// What link decoding asks of the real platform service: the content data request on the
// shared client, and the page script of YouTube content on a fresh client without pinning
// (the script's host has no pins of the platform's own).
LinkServices PlatformLinkServices();

}  // namespace kestrum
