#include "common/platform_profile.h"
#include "service/device_identity.h"
#include "service/http_client.h"
#include "service/http_transport.h"

namespace kestrum {

HttpClient::HttpClient()
    : HttpClient(CreatePlatformTransport(TransportSettings{ProfileText(ProfileItem::kUserAgent),
                                                           10000, 10000, 30000, 30000}),
                 DeviceIdentitySource{GetDeviceId, GetDeviceDescription}) {}

HttpClient& SharedHttpClient() {
    // Never destroyed: requests may still run on other threads while the process ends.
    static HttpClient* client = [] {
        auto* created = new HttpClient();
        created->SetAnswerLimit(kServiceAnswerLimit);
        return created;
    }();
    return *client;
}

}  // namespace kestrum
