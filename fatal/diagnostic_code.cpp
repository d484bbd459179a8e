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

bool IsDigits(std::string_view text) {
    if (text.empty() || text.size() > 19)
        return false;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
    }
    return true;
}

// "ERRDIAG|v1|ts=<digits>|mk=<id>|reason=<reason>|END"
bool IsDiagnosticRecord(std::string_view text) {
    constexpr std::string_view kHead = "ERRDIAG|v1|ts=";
    constexpr std::string_view kTail = "|END";
    if (text.size() < kHead.size() + kTail.size() || text.substr(0, kHead.size()) != kHead ||
        text.substr(text.size() - kTail.size()) != kTail)
        return false;
    const std::string_view body =
        text.substr(kHead.size(), text.size() - kHead.size() - kTail.size());
    const std::size_t mk = body.find("|mk=");
    if (mk == std::string_view::npos || !IsDigits(body.substr(0, mk)))
        return false;
    return body.find("|reason=", mk) != std::string_view::npos;
}

std::string_view TrimBlanks(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!text.empty() && blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && blank(text.back()))
        text.remove_suffix(1);
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

std::optional<std::string> ReadDiagnosticCode(std::string_view code, std::string& why) {
    const std::string_view trimmed = TrimBlanks(code);
    if (trimmed.empty()) {
        why = "the diagnostic code is empty";
        return std::nullopt;
    }
    // The decoder stops at the first foreign character; encoding back shows whether all of
    // the text was canonical Base64.
    const std::string bytes = Base64Decode(trimmed);
    if (Base64Encode(bytes) != trimmed) {
        why = "the diagnostic code is not Base64 text";
        return std::nullopt;
    }
    std::string text = Scramble(bytes);
    if (!IsDiagnosticRecord(text)) {
        why = "the text does not unscramble to a diagnostic record (damaged or not a code)";
        return std::nullopt;
    }
    return text;
}

}  // namespace kestrum
