#pragma once

#include <functional>
#include <string>
#include <vector>

#include "service/server_chain.h"

namespace kestrum {

// A security product whose HTTPS inspection is tolerated: its inspection authority shows in
// the issuer names of the chain, and one of its processes runs, signed by its maker.
struct SecurityProductEntry {
    std::u16string issuerFragment;             // lower case
    std::vector<std::u16string> processNames;  // lower case executable names
    std::u16string signerFragment;             // lower case
};

std::vector<SecurityProductEntry> SecurityProducts();

// Whether the product of a row is running, as the platform can tell.
bool IsSecurityProductRunning(const SecurityProductEntry& product);

// True when the chain shows the inspection authority of a security product that is running.
bool IsInspectionProductChain(const ServerChain& chain);

// Whether a server's chain is acceptable for the host: hosts without pins are; otherwise a
// pin must match the key of a chain element whose way down to the leaf is correctly signed
// (a forged leaf that merely names a pinned authority as its issuer does not count), or the
// inspection exception must hold. An empty chain (the certificate could not be read) is
// refused quietly; any other mismatch on a host of the platform's own domain ends the process
// through the fatal error dialog ("SSL_" + host). The host is judged as the transport uses it
// (TransportHost); a host the player refuses is never acceptable.
bool ValidateServerPins(const ServerChain& chain, const std::u16string& host);
// Whether ValidateServerPins accepts the chain by its pins alone, without its side effects
// (no dialog, no look at running programs): false leaves the decision to it.
bool ChainPassesHostPins(const ServerChain& chain, const std::u16string& host);

// Whether a pin failure on the host ends the process: the host ends with the platform domain.
bool IsPlatformDomainHost(const std::u16string& host);

// The fatal error dialog of a platform host that failed its pins ("SSL_" + host).
void ReportPlatformHostInterception(const std::u16string& host);

}  // namespace kestrum
