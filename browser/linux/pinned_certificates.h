#pragma once

#include <webkit2/webkit2.h>

#include <string>

namespace kestrum {

// The player trusts a pinned server by its pins, not by the system's authorities: when the
// chain a host shows matches its pins, the engine is told to accept that certificate for
// the host. Hosts without pins keep the engine's own validation.

// Connects to the https host of `url` (main thread, blocking, short time-outs) and accepts
// its certificate when it passes the pin check. True when the certificate was accepted.
bool AcceptPinnedCertificate(WebKitWebContext* context, const std::string& url);

// The same for a certificate the engine refused on loading `url`.
bool AcceptPinnedCertificate(WebKitWebContext* context, const std::string& url,
                             GTlsCertificate* certificate);

}  // namespace kestrum
