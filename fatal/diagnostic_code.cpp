#include "fatal/diagnostic_code.h"

#include <chrono>

#include "common/base64.h"
#include "common/platform_profile.h"
#include "common/text_encoding.h"

namespace kestrum {
namespace {

// XOR with the repeating key; its own inverse.
std::string Scramble(std::string text) {
    const SecretText key = RestoreProfileSecret(ProfileItem::kDiagnosticKey);
    if (key.value().empty())
        return text;
    for (std::size_t i = 0; i < text.size(); ++i) {
        text[i] = static_cast<char>(text[i] ^ key.value()[i % key.value().size()]);
    }
    return text;
}

}  // namespace

std::string BuildDiagnosticCode(std::string_view reason, std::u16string_view deviceId,
                                std::int64_t unixSeconds) {
    std::string text = "ERRDIAG|v1|ts=";
    text += std::to_string(unixSeconds);
    text += "|mk=";
    text += Utf16ToUtf8(deviceId);
    text += "|reason=";
    text += reason;
    text += "|END";
    return Base64Encode(Scramble(std::move(text)));
}

std::string BuildDiagnosticCode(std::string_view reason,
                                const std::function<std::u16string()>& deviceIdSource) {
    const auto now = std::chrono::duration_cast<std::chrono::seconds>(
                         std::chrono::system_clock::now().time_since_epoch())
                         .count();
    return BuildDiagnosticCode(reason, deviceIdSource ? deviceIdSource() : std::u16string(),
                               static_cast<std::int64_t>(now));
}

std::string DecodeDiagnosticCode(std::string_view code) {
    return Scramble(Base64Decode(code));
}

}  // namespace kestrum
