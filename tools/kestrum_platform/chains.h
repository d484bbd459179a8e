#pragma once

#include <string>
#include <utility>
#include <vector>

#include "tools/kestrum_platform/keys.h"

namespace kestrum::platform {

// What one TLS listener presents: its leaf with the key, then the certificates sent after it.
struct TlsIdentity {
    EvpKey key;
    Certificate leaf;
    std::vector<Certificate> chain;
};

// Root → intermediate → leaf for "localhost" (and 127.0.0.1), plus a spare key that no
// certificate carries yet: the profile pins all four, so the leaf can move to the spare key
// without a new player build.
struct Pki {
    EvpKey caKey, intermediateKey, leafKey, backupKey;
    Certificate ca, intermediate, leaf;
};

Pki BuildGenuinePki();

// The genuine leaf and intermediate; the root stays with the clients, as with any CA.
TlsIdentity GenuineIdentity(const Pki& pki);

enum class AttackerChain { kWrongKey, kForgedIssuer };

// wrong-key: a hierarchy of its own keys under the genuine names. forged-issuer: a leaf with
// an attacker key that claims the genuine intermediate as its issuer but is signed with the
// attacker key, sent with the genuine intermediate.
TlsIdentity AttackerIdentity(AttackerChain kind, const Pki& genuine);

// The four pins in the profile's order (CA, intermediate, leaf, spare) with their names.
std::vector<std::pair<std::string, std::string>> NamedPins(const Pki& pki);

// Writes ca.pem, intermediate.pem, leaf.pem and leaf.key into `directory` (made if needed).
// Throws std::runtime_error naming the file that could not be written.
void WriteChain(const Pki& pki, const std::string& directory);

}  // namespace kestrum::platform
