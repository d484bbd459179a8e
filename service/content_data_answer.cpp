#include <nlohmann/json.hpp>

#include "common/json_numbers.h"
#include "common/platform_profile.h"
#include "common/text_encoding.h"
#include "common/url_codec.h"
#include "service/content_data_request.h"

namespace kestrum {
namespace {

// A member that is present and not null, or nothing.
const nlohmann::json* Member(const nlohmann::json& object, const std::string& name) {
    if (!object.is_object() || name.empty())
        return nullptr;
    const auto found = object.find(name);
    if (found == object.end() || found->is_null())
        return nullptr;
    return &*found;
}

std::string Text(const nlohmann::json& object, const std::string& name, std::string fallback) {
    const nlohmann::json* member = Member(object, name);
    return member ? member->get<std::string>() : fallback;  // a non-text member throws
}

std::int32_t Number(const nlohmann::json& object, const std::string& name, std::int32_t fallback) {
    const nlohmann::json* member = Member(object, name);
    if (!member)
        return fallback;
    if (member->is_boolean())
        return member->get<bool>() ? 1 : 0;
    // A number whose integer part is beyond 32 bits is of the wrong type, like a text.
    if (const auto number = JsonIntegerPart<std::int32_t>(*member))
        return *number;
    throw nlohmann::json::type_error::create(302, "numeric member is not a 32-bit number", member);
}

}  // namespace

std::optional<ContentData> ReadContentAnswer(const std::string& body) {
    const nlohmann::json answer = nlohmann::json::parse(body, nullptr, false);
    if (answer.is_discarded())
        return std::nullopt;
    const nlohmann::json names = ProfileJson(ProfileItem::kContentMembers);
    const auto name = [&](const char* role) { return names.value(role, std::string()); };
    try {
        const nlohmann::json* data = Member(answer, name("data"));
        const nlohmann::json& fields = (data && data->is_object()) ? *data : answer;
        ContentData content;
        content.type = Text(fields, name("type"), "video");
        content.url = Text(fields, name("url"), "");
        content.youtubeUrl = Text(fields, name("youtubeUrl"), "");
        content.watermark = Text(answer, name("watermark"), "");
        content.numericId = Number(fields, name("numericId"), 1);
        return content;
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

std::string ReadServiceMessage(const std::string& body) {
    const nlohmann::json answer = nlohmann::json::parse(body, nullptr, false);
    if (answer.is_object()) {
        const auto message = answer.find("message");
        if (message != answer.end() && message->is_string())
            return message->get<std::string>();
    }
    return {};
}

std::string ContentRequestBody(const std::string& linkToken, const std::string& contentLinkId) {
    const auto encode = [](const std::string& value) {
        return Utf16ToUtf8(UrlEncode(Utf8ToUtf16(value)));
    };
    return ProfileMember(ProfileItem::kContentFormFields, "token") + encode(linkToken) +
           ProfileMember(ProfileItem::kContentFormFields, "content") + encode(contentLinkId);
}

}  // namespace kestrum
