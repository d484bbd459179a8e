#include <nlohmann/json.hpp>

#include "common/decimal_number.h"
#include "common/json_numbers.h"
#include "common/text_encoding.h"
#include "service/version_check.h"

namespace kestrum {
namespace {

// "version": a number, or a text whose leading number counts (read as in the "C" locale,
// whatever the learner's locale); anything else, and a value out of range, is 0.
double ServerVersion(const nlohmann::json& version) {
    if (version.is_string())
        return LeadingDecimalNumber(version.get<std::string>()).value_or(0);
    return JsonFiniteNumber(version).value_or(0);
}

// "is_required": a number whose integer conversion is 1, or exactly the text "1". A number
// beyond the integer range is of the wrong type, as a boolean is.
bool IsRequired(const nlohmann::json& value) {
    if (value.is_number())
        return JsonIntegerPart<std::int64_t>(value) == 1;
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
        if (currentVersion < ServerVersion(answer["version"])) {
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
