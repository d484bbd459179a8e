#pragma once

#include <string>
#include <string_view>

namespace kestrum {

// One part of a scheme link: Base64 of a JSON object {"iv", "value", "mac"} as the
// platform's encrypter writes it (AES-CBC under the link key, HMAC-SHA256 over the iv and
// value texts). Returns the plain text, or raises std::runtime_error with the reason
// ("Failed to parse AES envelope JSON", "MAC verification failed — data may be tampered",
// the cryptography's own messages) or lets the JSON library's error pass.
//
// An envelope without a tag, or with an empty one, is refused: unauthenticated CBC lets
// anyone who holds one link rewrite the first block of its plain text (for example the
// server address).
std::string DecryptEnvelope(std::string_view envelopeText, std::string_view key);

// The platform's encrypter: random IV, lower-case hex "mac", "tag" "", unescaped slashes.
std::string EncryptEnvelope(std::string_view plainText, std::string_view key);

// Compares two hexadecimal tags without regard to letter case, in time that depends only on
// their lengths.
bool TagsEqual(std::string_view expectedHex, std::string_view givenHex);

}  // namespace kestrum
