#pragma once

#include <string>

#include "tools/kestrum_platform/keys.h"

namespace kestrum::platform {

struct CertificateSpec {
    std::string commonName;
    std::string organization;
    bool authority = false;
    int pathLength = -1;          // authorities only; -1 leaves the depth open
    std::string subjectAltNames;  // leaves: "DNS:localhost,IP:127.0.0.1"
};

// A certificate for `subjectKey`, valid from a day ago for a year, that names `issuer`'s
// subject as its issuer (itself when `issuer` is null) and is signed with `signingKey`.
// Normally `signingKey` is the issuer's key; a forger passes another. Throws
// std::runtime_error.
Certificate IssueCertificate(const CertificateSpec& spec, EVP_PKEY* subjectKey, X509* issuer,
                             EVP_PKEY* signingKey);

std::string CertificatePem(X509* certificate);
std::string PrivateKeyPem(EVP_PKEY* key);

}  // namespace kestrum::platform
