#pragma once

#include <webkit2/webkit2.h>

#include <string>

namespace kestrum {

// The player trusts a pinned server by its pins, not by the system's authorities: when the
// chain a host shows matches its pins, the engine is told to accept that certificate for
// the host. Hosts without pins keep the engine's own validation.

// Accepts, for the https host of `url`, the certificate whose chain the player's own
// connections to that host have found passing its pins (the service client's, or the check
// begun for the content's host, which this waits for); no handshake of its own. True when a
// certificate was accepted.
bool AcceptPinnedCertificate(WebKitWebContext* context, const std::string& url);

// The same for a certificate the engine refused on loading `url`.
bool AcceptPinnedCertificate(WebKitWebContext* context, const std::string& url,
                             GTlsCertificate* certificate);

}  // namespace kestrum
