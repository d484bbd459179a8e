#include "app/platform_link_services.h"

#include "service/content_data_request.h"
#include "service/http_client.h"

namespace kestrum {

LinkServices PlatformLinkServices() {
    LinkServices services;
    services.getContentData = [](const std::u16string& linkServer, const std::string& contentLinkId,
                                 const std::string& linkToken, std::string& serviceMessage) {
        return GetContentData(linkServer, contentLinkId, linkToken, &serviceMessage);
    };
    services.fetchPageScript = [](const std::u16string& address) -> std::optional<std::string> {
        HttpClient client;  // may throw "WinHttpOpen failed": link decoding reports it
        client.DisablePinning();
        HttpResponse response = client.Get(address);
        if (!response.success)
            return std::nullopt;
        return std::move(response.body);
    };
    return services;
}

}  // namespace kestrum
