#pragma once

#include <string>
#include <string_view>

// A second, deliberately independent implementation of the envelope cryptography for tests:
// plain-C++ AES-256-CBC encryption and HMAC-SHA256, sharing nothing with the product's
// backends, so a fault in either side shows as a mismatch on every platform.
namespace reference {

std::string Sha256(std::string_view data);
std::string HmacSha256(std::string_view key, std::string_view data);
// PKCS#7-padded AES-256-CBC; `key` must be 32 bytes and `iv` 16.
std::string Aes256CbcEncrypt(std::string_view plain, std::string_view key, std::string_view iv);
std::string Hex(std::string_view bytes);
std::string Base64(std::string_view bytes);

// An envelope as the platform writes it. `mac` is the tag text to put in, or the computed
// lower-case tag when `computeMac` is true; `withMac` false leaves the member out.
struct EnvelopeParts {
    std::string ivText;
    std::string valueText;
    std::string macText;
};
EnvelopeParts MakeEnvelopeParts(std::string_view plain, std::string_view key, std::string_view iv);
// {"iv":..,"value":..,"mac":..,"tag":""}; the "mac" member is left out when `mac` is null.
std::string EnvelopeJson(const EnvelopeParts& parts, const char* mac);
std::string Envelope(std::string_view plain, std::string_view key,
                     std::string_view iv = "0123456789abcdef");

}  // namespace reference
