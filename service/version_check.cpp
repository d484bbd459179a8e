#include "service/version_check.h"

#include "common/platform_profile.h"
#include "common/text_case.h"
#include "common/text_encoding.h"
#include "service/base_url.h"
#include "service/http_client.h"

namespace kestrum {
namespace {

bool NamesWindowsInstaller(std::u16string_view url) {
    const std::u16string path = ToLowerCopy(url.substr(0, url.find_first_of(u"?#")));
    return EndsWith(path, u".exe") || EndsWith(path, u".msi");
}

}  // namespace

std::u16string VersionCheckAddress(const std::u16string& server, BuildPlatform platform) {
    const UpdateProfileItems items = UpdateItemsFor(platform);
    const std::u16string base = NormalizeBaseUrl(server);
    if (base.empty())
        return Utf8ToUtf16(ProfileText(items.versionUrl));
    return base + Utf8ToUtf16(ProfileText(items.versionPath));
}

VersionCheckResult KeepOwnPlatformDownload(VersionCheckResult result, BuildPlatform platform) {
    if (platform != BuildPlatform::kWindows && NamesWindowsInstaller(result.downloadUrl))
        result.downloadUrl.clear();
    return result;
}

VersionCheckResult CheckAppVersion(double currentVersion, const std::u16string& server) {
    const BuildPlatform platform = ThisBuildPlatform();
    const HttpResponse response = SharedHttpClient().Get(VersionCheckAddress(server, platform));
    if (!response.success)
        return {};
    return KeepOwnPlatformDownload(ReadVersionAnswer(response.body, currentVersion), platform);
}

}  // namespace kestrum
