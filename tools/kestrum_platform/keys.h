#pragma once

#include <openssl/evp.h>
#include <openssl/x509.h>

#include <memory>
#include <string>
#include <string_view>

namespace kestrum::platform {

struct EvpKeyFree {
    void operator()(EVP_PKEY* key) const { EVP_PKEY_free(key); }
};
struct CertificateFree {
    void operator()(X509* certificate) const { X509_free(certificate); }
};
using EvpKey = std::unique_ptr<EVP_PKEY, EvpKeyFree>;
using Certificate = std::unique_ptr<X509, CertificateFree>;

// An EC P-256 key whose private scalar is the SHA-256 digest of the seed text. The same seed
// gives the same key on every build and start, which is what lets the profile's default pins
// name our keys without any key file in the repository. Throws std::runtime_error.
EvpKey DeriveKey(std::string_view seed);

// Base64 of the SHA-256 digest of the key's DER SubjectPublicKeyInfo, without prefix: the
// pin the player computes for a certificate carrying this key.
std::string PublicKeyPin(EVP_PKEY* key);

// Another owner of the same object.
EvpKey ShareKey(EVP_PKEY* key);
Certificate ShareCertificate(X509* certificate);

// The oldest entry of OpenSSL's error queue (the queue is cleared), for error messages.
std::string OpenSslError();

}  // namespace kestrum::platform
