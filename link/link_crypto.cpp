#include "link/link_crypto.h"

#include <stdexcept>

namespace kestrum {

std::string ToHex(std::string_view bytes) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::string out;
    out.reserve(bytes.size() * 2);
    for (char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        out.push_back(kHex[byte >> 4]);
        out.push_back(kHex[byte & 0xF]);
    }
    return out;
}

void CheckAesKey(std::string_view key) {
    if (key.size() != 16 && key.size() != 24 && key.size() != 32) {
        throw std::runtime_error("BCryptGenerateSymmetricKey failed");
    }
}

void CheckAesDecryptInput(std::string_view ciphertext, std::string_view iv) {
    if (iv.size() != 16 || ciphertext.size() % 16 != 0) {
        throw std::runtime_error("BCryptDecrypt (size query) failed");
    }
    // No block at all cannot hold the padding.
    if (ciphertext.empty())
        throw std::runtime_error("BCryptDecrypt failed");
}

std::string StripBlockPadding(std::string plain) {
    const std::size_t count = plain.empty() ? 0 : static_cast<unsigned char>(plain.back());
    bool valid = count >= 1 && count <= 16 && count <= plain.size();
    for (std::size_t i = 0; valid && i < count; ++i) {
        valid = static_cast<unsigned char>(plain[plain.size() - 1 - i]) == count;
    }
    if (!valid)
        throw std::runtime_error("BCryptDecrypt failed");
    plain.resize(plain.size() - count);
    return plain;
}

}  // namespace kestrum
