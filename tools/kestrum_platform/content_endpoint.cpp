#include "tools/kestrum_platform/content_endpoint.h"

#include "common/url_codec.h"

namespace kestrum::platform {
namespace {

constexpr const char* kFormType = "application/x-www-form-urlencoded";

// The field's name as a form parser sees it: "&cid=" names "cid".
std::string FieldName(std::string field) {
    if (!field.empty() && field.front() == '&')
        field.erase(0, 1);
    if (!field.empty() && field.back() == '=')
        field.pop_back();
    return field;
}

// Form decoding: "+" is a blank, "%" and two hex digits a byte; anything else stays.
std::string FormDecode(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '+') {
            out += ' ';
        } else if (text[i] == '%' && i + 2 < text.size() && HexDigitValue(text[i + 1]) >= 0 &&
                   HexDigitValue(text[i + 2]) >= 0) {
            out += static_cast<char>(HexDigitValue(text[i + 1]) * 16 + HexDigitValue(text[i + 2]));
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

// The body as a form parser reads it: pairs split at "&", names before the first "=". A
// client that inserts link values unencoded lets a token holding "&" or "=" change the
// fields; one that percent-encodes them gets them back here decoded.
std::vector<std::pair<std::string, std::string>> FormFields(const std::string& body) {
    std::vector<std::pair<std::string, std::string>> fields;
    size_t start = 0;
    while (start <= body.size()) {
        const size_t end = std::min(body.find('&', start), body.size());
        const std::string pair = body.substr(start, end - start);
        const size_t equals = pair.find('=');
        if (equals == std::string::npos)
            fields.emplace_back(pair, "");
        else
            fields.emplace_back(pair.substr(0, equals), pair.substr(equals + 1));
        start = end + 1;
    }
    return fields;
}

}  // namespace

Reply AnswerContentRequest(const ServiceProfile& profile,
                           const std::vector<SampleContent>& catalogue, const std::string& method,
                           const std::string& contentType, const std::string& body) {
    if (method != "PUT")
        return MessageReply(400, "The content request must be a PUT, not " + method + ".");
    if (contentType != kFormType)
        return MessageReply(400, "The content request must be sent as " + std::string(kFormType) +
                                     ", not \"" + contentType + "\".");

    const std::string tokenName = FieldName(profile.tokenField);
    const std::string contentName = FieldName(profile.contentField);
    const auto fields = FormFields(body);
    if (fields.size() != 2 || fields[0].first != tokenName || fields[1].first != contentName) {
        return MessageReply(400, "The content request must carry exactly the fields \"" +
                                     tokenName + "\" and \"" + contentName + "\", in that order.");
    }
    if (body != profile.tokenField + fields[0].second + profile.contentField + fields[1].second)
        return MessageReply(400, "The content request body is not in the expected form.");
    const std::string token = FormDecode(fields[0].second);
    const std::string id = FormDecode(fields[1].second);
    if (token.empty() || id.empty())
        return MessageReply(400, "The content request names no token or no content.");

    if (token == kExpiredToken)
        return MessageReply(403, "Your session has expired. Please sign in again.");
    if (id == kArabicRefusalId)
        return MessageReply(404, "هذا الدرس لم يعد متاحاً. يرجى التواصل مع المعلم.");
    const SampleContent* content = FindContent(catalogue, id);
    if (content == nullptr)
        return MessageReply(404, "This lesson could not be found.");

    nlohmann::ordered_json data;
    data[profile.typeMember] = content->type;
    data[profile.urlMember] = content->url;
    if (content->youtubeUrl.empty())
        data[profile.youtubeUrlMember] = nullptr;
    else
        data[profile.youtubeUrlMember] = content->youtubeUrl;
    data[profile.numericIdMember] = content->numericId;
    nlohmann::ordered_json answer;
    answer[profile.dataMember] = std::move(data);
    answer[profile.watermarkMember] = content->watermark;
    return JsonReply(200, answer);
}

}  // namespace kestrum::platform
