#pragma once

#include <string>
#include <string_view>

namespace kestrum {

// The cryptography of link envelopes. Each platform supplies it from its own library
// (OpenSSL libcrypto on Linux, BCrypt on Windows); every failure raises std::runtime_error
// with the same message on both, so a support engineer reads one set of reasons.

// 32-byte HMAC-SHA256 tag of `data` under `key` (the key bytes as they are).
std::string HmacSha256(std::string_view key, std::string_view data);

// AES-CBC with PKCS#7 padding; the key length (16, 24 or 32 bytes) selects AES-128/192/256.
std::string AesCbcDecrypt(std::string_view ciphertext, std::string_view key, std::string_view iv);
std::string AesCbcEncrypt(std::string_view plaintext, std::string_view key, std::string_view iv);

// Cryptographically random bytes (envelope IVs).
std::string RandomBytes(std::size_t count);

// Two lower-case hexadecimal digits per byte.
std::string ToHex(std::string_view bytes);

// Checks shared by both backends, so that inputs the platform libraries would judge
// differently fail with one message: a key AES cannot take, an IV that is not one block, a
// ciphertext that is not whole blocks.
void CheckAesKey(std::string_view key);
void CheckAesDecryptInput(std::string_view ciphertext, std::string_view iv);

// Removes PKCS#7 padding after a raw block decryption, checking every padding byte. The
// backends decrypt without their library's own padding handling, because the libraries
// differ in how strictly they check it (one Windows implementation accepts any last byte).
std::string StripBlockPadding(std::string plain);

}  // namespace kestrum
