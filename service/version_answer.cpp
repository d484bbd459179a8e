#include <nlohmann/json.hpp>

#include "common/text_encoding.h"
#include "service/version_check.h"

namespace kestrum {
namespace {

// The leading decimal number of a text, as the standard conversion reads it; 0 when there
// is none or it is out of range.
double LeadingNumber(const std::string& text) {
    try {
        return std::stod(text);
    } catch (const std::exception&) {
        return 0;
    }
}

bool IsRequired(const nlohmann::json& value) {
    if (value.is_number())
        return static_cast<long long>(value.get<double>()) == 1;
    return value.is_string() && value.get<std::string>() == "1";
}

}  // namespace

VersionCheckResult ReadVersionAnswer(const std::string& body, double currentVersion) {
    VersionCheckResult result;
    const nlohmann::json answer = nlohmann::json::parse(body, nullptr, false);
    if (answer.is_discarded() || !answer.is_object() || !answer.contains("version")) {
        return result;
    }
    try {
        const nlohmann::json& version = answer["version"];
        double serverVersion = 0;
        if (version.is_number()) {
            serverVersion = version.get<double>();
        } else if (version.is_string()) {
            serverVersion = LeadingNumber(version.get<std::string>());
        }
        if (currentVersion < serverVersion) {
            result.hasUpdate = true;
            if (answer.contains("is_required"))
                result.mandatory = IsRequired(answer["is_required"]);
            if (answer.contains("link") && answer["link"].is_string()) {
                result.downloadUrl = Utf8ToUtf16(answer["link"].get<std::string>());
            }
        }
    } catch (const std::exception&) {
        // The fields read so far stand.
    }
    return result;
}

}  // namespace kestrum
