#include "service/dynamic_pins.h"

#include <nlohmann/json.hpp>

#include "common/platform_profile.h"
#include "common/text_encoding.h"
#include "service/http_client.h"
#include "service/pins_document.h"

namespace kestrum {

bool LoadDynamicPins() {
    try {
        HttpClient& client = SharedHttpClient();
        client.SetDefaultHeader(
            u"X-Secret", Utf8ToUtf16(RestoreProfileSecret(ProfileItem::kServiceToken).value()));
        const HttpResponse response = client.Get(Utf8ToUtf16(ProfileText(ProfileItem::kPinsUrl)));
        if (!response.success)
            return false;
        const auto entries = ParsePinsDocument(response.body);
        if (!entries)
            return false;
        ReplacePins(*entries);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

}  // namespace kestrum
