#pragma once

#include <optional>
#include <string>
#include <vector>

#include "service/server_chain.h"

namespace kestrum {

// The servers this process's own TLS connections have accepted, by host: the chain each
// showed and its certificate. A pinned host whose chain has passed once is trusted again on
// that chain (the embedded browser's first page of the host, the page check) without another
// handshake. Hosts are kept as the transport reaches them (TransportHost); a later chain of a
// host replaces the earlier one. A host the player refuses is not kept.
void RememberVerifiedServer(const std::u16string& host, ServerChain chain,
                            std::string certificateDer);

// The certificate (DER) of the host's remembered server when the host has pins and the
// remembered chain passes them by the pins in force now (ChainPassesHostPins); otherwise
// nothing, and the caller checks the host itself.
std::optional<std::string> PinnedCertificateOf(const std::u16string& host);

// The remembered hosts for which PinnedCertificateOf gives a certificate now.
std::vector<std::u16string> PinnedHostsPassing();

}  // namespace kestrum
