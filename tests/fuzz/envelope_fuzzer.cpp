// One link envelope. Random text alone rarely gets past the tag, so most inputs are wrapped
// in an envelope whose tag is valid: the JSON members, the Base64 of the IV and ciphertext,
// the block checks and the padding all see hostile data. The last mode compares the
// product's decryption with the independent reference encryption.
#include <fuzzer/FuzzedDataProvider.h>

#include <nlohmann/json.hpp>
#include <stdexcept>
#include <string>

#include "common/base64.h"
#include "link/envelope.h"
#include "tests/fuzz/fuzz_support.h"
#include "tests/support/reference_crypto.h"

namespace {

using kestrum::fuzz::LinkKey;

enum class Mode {
    kEnvelopeText,
    kJsonWithValidTag,
    kMembersWithValidTag,
    kReferenceRoundTrip,
    kMaxValue = kReferenceRoundTrip
};

// Decrypts and lets only the failures the link handling turns into reasons pass.
void DecryptExpectingReasons(const std::string& envelope) {
    try {
        kestrum::DecryptEnvelope(envelope, LinkKey());
    } catch (const std::runtime_error&) {
    } catch (const nlohmann::json::exception&) {
    }
}

// The input as the envelope's JSON: an object with texts "iv" and "value" gets a valid tag.
std::string JsonWithValidTag(const std::string& text) {
    const nlohmann::json document = nlohmann::json::parse(text, nullptr, false);
    if (!document.is_object() || !document.contains("iv") || !document.contains("value") ||
        !document["iv"].is_string() || !document["value"].is_string()) {
        return kestrum::Base64Encode(text);
    }
    nlohmann::json envelope =
        nlohmann::json::parse(kestrum::Base64Decode(kestrum::fuzz::EnvelopeWithValidTag(
            document["iv"].get<std::string>(), document["value"].get<std::string>(), false)));
    for (const auto& [name, value] : document.items()) {
        if (name != "iv" && name != "value" && name != "mac")
            envelope[name] = value;
    }
    return kestrum::Base64Encode(
        envelope.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    switch (input.ConsumeEnum<Mode>()) {
        case Mode::kEnvelopeText:
            DecryptExpectingReasons(input.ConsumeRemainingBytesAsString());
            break;
        case Mode::kJsonWithValidTag:
            DecryptExpectingReasons(JsonWithValidTag(input.ConsumeRemainingBytesAsString()));
            break;
        case Mode::kMembersWithValidTag: {
            const bool upperCase = input.ConsumeBool();
            const std::string ivText = input.ConsumeRandomLengthString();
            const std::string valueText = input.ConsumeRemainingBytesAsString();
            DecryptExpectingReasons(
                kestrum::fuzz::EnvelopeWithValidTag(ivText, valueText, upperCase));
            break;
        }
        case Mode::kReferenceRoundTrip: {
            const std::string iv = input.ConsumeBytesAsString(16);
            if (iv.size() != 16)
                break;
            const std::string plain = input.ConsumeRemainingBytesAsString();
            const std::string envelope = reference::Envelope(plain, LinkKey(), iv);
            FUZZ_CHECK(kestrum::DecryptEnvelope(envelope, LinkKey()) == plain);
            FUZZ_CHECK(kestrum::DecryptEnvelope(kestrum::EncryptEnvelope(plain, LinkKey()),
                                                LinkKey()) == plain);
            break;
        }
    }
    return 0;
}
