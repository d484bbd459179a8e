#pragma once

#include <string>
#include <vector>

namespace kestrum {

// One certificate of a server's chain as the pin check needs it. The platform's TLS code
// builds the chain (the certificates the server sent, completed from the system's trust
// store where it holds the issuer) and fills these from each certificate.
struct ChainElement {
    std::string pin;            // Base64 of SHA-256 of the DER SubjectPublicKeyInfo
    std::u16string issuerName;  // simple display name of the issuer, may be empty
    bool signedByNext = false;  // its signature verifies under the next element's key
};

// Leaf first.
using ServerChain = std::vector<ChainElement>;

}  // namespace kestrum
