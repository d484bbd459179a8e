#include "service/version_check.h"

#include "common/platform_profile.h"
#include "common/text_encoding.h"
#include "service/base_url.h"
#include "service/http_client.h"

namespace kestrum {

VersionCheckResult CheckAppVersion(double currentVersion, const std::u16string& server) {
    const std::u16string base = NormalizeBaseUrl(server);
    const std::u16string address = base.empty()
                                       ? Utf8ToUtf16(ProfileText(ProfileItem::kVersionUrl))
                                       : base + Utf8ToUtf16(ProfileText(ProfileItem::kVersionPath));
    const HttpResponse response = SharedHttpClient().Get(address);
    if (!response.success)
        return {};
    return ReadVersionAnswer(response.body, currentVersion);
}

}  // namespace kestrum
