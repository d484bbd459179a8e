#include "link/envelope.h"

#include <nlohmann/json.hpp>
#include <stdexcept>

#include "common/base64.h"
#include "link/link_crypto.h"

namespace kestrum {
namespace {

constexpr char kMacMismatch[] = "MAC verification failed \xE2\x80\x94 data may be tampered";

char FoldHexCase(char c) {
    return (c >= 'A' && c <= 'F') ? static_cast<char>(c + 32) : c;
}

}  // namespace

bool TagsEqual(std::string_view expectedHex, std::string_view givenHex) {
    if (expectedHex.size() != givenHex.size())
        return false;
    unsigned char difference = 0;
    for (std::size_t i = 0; i < expectedHex.size(); ++i) {
        difference |=
            static_cast<unsigned char>(FoldHexCase(expectedHex[i]) ^ FoldHexCase(givenHex[i]));
    }
    return difference == 0;
}

std::string DecryptEnvelope(std::string_view envelopeText, std::string_view key) {
    // Non-const on purpose: a missing member then reads as null and the JSON library raises
    // its own type error, which the caller reports as it stands.
    nlohmann::json envelope =
        nlohmann::json::parse(Base64Decode(envelopeText), nullptr, /*allow_exceptions=*/false);
    if (envelope.is_discarded())
        throw std::runtime_error("Failed to parse AES envelope JSON");

    const std::string ivText = envelope["iv"].get<std::string>();
    const std::string valueText = envelope["value"].get<std::string>();
    std::string macText;
    if (envelope.is_object() && envelope.contains("mac")) {
        macText = envelope["mac"].get<std::string>();
    }
    if (macText.empty())
        throw std::runtime_error(kMacMismatch);
    if (!TagsEqual(ToHex(HmacSha256(key, ivText + valueText)), macText)) {
        throw std::runtime_error(kMacMismatch);
    }
    return AesCbcDecrypt(Base64Decode(valueText), key, Base64Decode(ivText));
}

std::string EncryptEnvelope(std::string_view plainText, std::string_view key) {
    const std::string ivText = Base64Encode(RandomBytes(16));
    const std::string valueText = Base64Encode(AesCbcEncrypt(plainText, key, Base64Decode(ivText)));
    nlohmann::ordered_json envelope;
    envelope["iv"] = ivText;
    envelope["value"] = valueText;
    envelope["mac"] = ToHex(HmacSha256(key, ivText + valueText));
    envelope["tag"] = "";
    return Base64Encode(envelope.dump());
}

}  // namespace kestrum
