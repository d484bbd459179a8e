#include "app/platform_link_services.h"

#include "common/platform_profile.h"
#include "common/text_case.h"
#include "service/content_data_request.h"
#include "service/device_identity.h"
#include "service/http_client.h"

namespace kestrum {

TransportSettings PageScriptTransportSettings() {
    return TransportSettings{ProfileText(ProfileItem::kUserAgent), 3000, 3000, 4000, 5000};
}

std::optional<std::string> FetchPageScript(const std::u16string& address,
                                           const TransportSettings& settings) {
    // A script runs in the learner's page: one that nobody can vouch for is not fetched.
    if (!StartsWith(ToLowerAscii(address), u"https://"))
        return std::nullopt;
    HttpClient client(CreatePlatformTransport(settings),
                      DeviceIdentitySource{GetDeviceId, GetDeviceDescription});
    client.ValidateUnpinnedHostsBySystem();
    client.SetAnswerLimit(kPageScriptLimit);
    HttpResponse response = client.Get(address);
    if (!response.success)
        return std::nullopt;
    return std::move(response.body);
}

LinkServices PlatformLinkServices() {
    LinkServices services;
    services.getContentData = [](const std::u16string& linkServer, const std::string& contentLinkId,
                                 const std::string& linkToken, std::string& serviceMessage) {
        return GetContentData(linkServer, contentLinkId, linkToken, &serviceMessage);
    };
    services.fetchPageScript = [](const std::u16string& address) {
        return FetchPageScript(address, PageScriptTransportSettings());
    };
    return services;
}

}  // namespace kestrum
