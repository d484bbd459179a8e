#include "browser/header_decisions.h"

#include <nlohmann/json.hpp>

#include "app/platform_profile.h"
#include "browser/host_rules.h"
#include "common/text_case.h"
#include "common/text_encoding.h"

namespace kestrum {
namespace {

std::u16string Member(ProfileItem item, const char* member) {
    return Utf8ToUtf16(ProfileMember(item, member));
}

void Add(std::vector<RequestHeader>& headers, std::u16string name, std::u16string_view value) {
    if (!name.empty() && !value.empty())
        headers.push_back({std::move(name), std::u16string(value)});
}

void AddClientHeader(std::vector<RequestHeader>& headers) {
    Add(headers, Member(ProfileItem::kClientHeader, "name"),
        Member(ProfileItem::kClientHeader, "value"));
}

void AddDeviceHeaders(std::vector<RequestHeader>& headers, ProfileItem names,
                      const DeviceValues& device) {
    Add(headers, Member(names, "deviceId"), device.id);
    Add(headers, Member(names, "deviceDescription"), device.description);
}

// An empty pattern matches nothing: it would otherwise send the device values to every host.
bool EndsWithPattern(std::u16string_view lowerUrl, std::u16string_view pattern,
                     std::size_t length) {
    return !pattern.empty() && pattern.size() == length && lowerUrl.size() >= length &&
           lowerUrl.substr(lowerUrl.size() - length) == pattern;
}

}  // namespace

bool IsPlatformAddress(std::u16string_view url) {
    const std::u16string host = HostOf(url);
    if (host.empty())
        return false;
    const nlohmann::json fragments = ProfileJson(ProfileItem::kPlatformHostFragments);
    if (!fragments.is_array())
        return false;
    for (const auto& fragment : fragments) {
        if (fragment.is_string() && !fragment.get<std::string>().empty() &&
            Contains(host, ToLowerAscii(Utf8ToUtf16(fragment.get<std::string>())))) {
            return true;
        }
    }
    return false;
}

bool IsMediaAddress(std::u16string_view url) {
    const std::u16string lower = ToLowerCopy(url);
    const nlohmann::json patterns = ProfileJson(ProfileItem::kMediaPatterns);
    if (!patterns.is_object())
        return false;
    const auto pattern = [&](const char* name) {
        const auto found = patterns.find(name);
        return found != patterns.end() && found->is_string()
                   ? ToLowerCopy(Utf8ToUtf16(found->get<std::string>()))
                   : std::u16string();
    };
    const std::u16string anywhere = pattern("anywhere");
    return EndsWithPattern(lower, pattern("suffix6"), 6) ||
           EndsWithPattern(lower, pattern("suffix9"), 9) ||
           (!anywhere.empty() && Contains(lower, anywhere)) ||
           EndsWithPattern(lower, pattern("suffix20"), 20);
}

std::u16string PinCheckHost(std::u16string_view lowerUrl) {
    if (!lowerUrl.starts_with(u"https://"))
        return {};
    return HostOf(lowerUrl);
}

std::vector<RequestHeader> RequestHeaders(std::u16string_view url, BrowserWindow window,
                                          const DeviceValues& device,
                                          std::u16string_view linkServer) {
    std::vector<RequestHeader> headers;
    AddClientHeader(headers);
    if (IsPlatformAddress(url))
        AddDeviceHeaders(headers, ProfileItem::kDeviceHeaders, device);
    if (IsMediaAddress(url))
        AddDeviceHeaders(headers, ProfileItem::kMediaDeviceHeaders, device);

    if (window == BrowserWindow::kMain) {
        if (IsYouTubeHost(HostOf(url))) {
            std::u16string_view referer = linkServer;
            if (referer.ends_with(u'/'))
                referer.remove_suffix(1);
            Add(headers, u"Referer", referer);
        }
    } else {
        const nlohmann::json startHeaders = ProfileJson(ProfileItem::kStartWindowHeaders);
        if (startHeaders.is_object() && startHeaders.contains("names") &&
            startHeaders["names"].is_array()) {
            const std::u16string value = Member(ProfileItem::kStartWindowHeaders, "value");
            for (const auto& name : startHeaders["names"]) {
                if (name.is_string())
                    Add(headers, Utf8ToUtf16(name.get<std::string>()), value);
            }
        }
    }
    return headers;
}

std::vector<RequestHeader> PlatformNavigationHeaders(std::u16string_view address,
                                                     const DeviceValues& device) {
    std::vector<RequestHeader> headers;
    if (!IsPlatformAddress(address))
        return headers;
    AddClientHeader(headers);
    const std::u16string idName = Member(ProfileItem::kDeviceHeaders, "deviceId");
    const std::u16string mediaIdName = Member(ProfileItem::kMediaDeviceHeaders, "deviceId");
    const std::u16string descriptionName = Member(ProfileItem::kDeviceHeaders, "deviceDescription");
    const std::u16string mediaDescriptionName =
        Member(ProfileItem::kMediaDeviceHeaders, "deviceDescription");
    Add(headers, idName, device.id);
    Add(headers, mediaIdName, device.id);
    Add(headers, descriptionName, device.description);
    Add(headers, mediaDescriptionName, device.description);
    return headers;
}

}  // namespace kestrum
