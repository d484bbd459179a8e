#include "tests/fuzz/fuzz_support.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <nlohmann/json.hpp>

#include "common/base64.h"
#include "common/platform_profile.h"
#include "link/link_crypto.h"

namespace kestrum::fuzz {

const std::string& LinkKey() {
    static const std::string key = RestoreProfileSecret(ProfileItem::kLinkKey).value();
    return key;
}

std::u16string Utf16Units(std::string_view bytes) {
    std::u16string units;
    units.reserve(bytes.size() / 2);
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        units.push_back(static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                              static_cast<unsigned char>(bytes[i + 1]) << 8));
    }
    return units;
}

std::string EnvelopeWithValidTag(std::string_view ivText, std::string_view valueText,
                                 bool upperCaseTag) {
    // Ill-formed UTF-8 cannot stand in a JSON text: the tag covers the texts as the reader
    // will see them, so they are written once and read back first.
    nlohmann::json envelope = {{"iv", std::string(ivText)}, {"value", std::string(valueText)}};
    envelope = nlohmann::json::parse(
        envelope.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace));
    std::string tag = ToHex(HmacSha256(
        LinkKey(), envelope["iv"].get<std::string>() + envelope["value"].get<std::string>()));
    if (upperCaseTag) {
        for (char& c : tag)
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    envelope["mac"] = tag;
    return Base64Encode(envelope.dump());
}

std::string SealEnvelope(std::string_view plainText, std::string_view iv) {
    return EnvelopeWithValidTag(Base64Encode(iv),
                                Base64Encode(AesCbcEncrypt(plainText, LinkKey(), iv)), false);
}

void Fail(const char* what, const char* file, int line) {
    std::fprintf(stderr, "%s:%d: check failed: %s\n", file, line, what);
    std::abort();
}

}  // namespace kestrum::fuzz
