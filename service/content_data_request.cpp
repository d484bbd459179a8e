#include "service/content_data_request.h"

#include "common/platform_profile.h"
#include "common/text_encoding.h"
#include "service/base_url.h"
#include "service/device_identity.h"
#include "service/http_client.h"

namespace kestrum {

std::optional<ContentData> GetContentData(const std::u16string& linkServer,
                                          const std::string& contentLinkId,
                                          const std::string& linkToken, std::string* errorText) {
    HttpClient& client = SharedHttpClient();
    const auto header = [](const char* role) {
        return Utf8ToUtf16(ProfileMember(ProfileItem::kServiceDeviceHeaders, role));
    };
    client.SetDefaultHeader(header("deviceId"), GetDeviceId());
    client.SetDefaultHeader(header("deviceDescription"), GetDeviceDescription());
    client.SetDefaultHeader(header("clientMarker"), header("clientMarkerValue"));

    const std::u16string address =
        NormalizeBaseUrl(linkServer) + Utf8ToUtf16(ProfileText(ProfileItem::kContentPath));
    const HttpResponse response = client.Put(address, ContentRequestBody(linkToken, contentLinkId),
                                             u"application/x-www-form-urlencoded");
    if (response.success)
        return ReadContentAnswer(response.body);
    if (errorText) {
        *errorText = ReadServiceMessage(response.body);
        if (errorText->empty())
            *errorText = response.error;
    }
    return std::nullopt;
}

}  // namespace kestrum
