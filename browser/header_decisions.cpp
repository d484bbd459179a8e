#include "browser/header_decisions.h"

#include <nlohmann/json.hpp>

#include "browser/host_rules.h"
#include "common/platform_profile.h"
#include "common/text_case.h"
#include "common/text_encoding.h"

namespace kestrum {
namespace {

// The profile's texts that every request is judged with, restored and parsed once per process:
// a page makes hundreds of requests, each deciding on the thread that sends it.
struct HeaderProfile {
    RequestHeader client;
    std::u16string deviceIdName;
    std::u16string deviceDescriptionName;
    std::u16string mediaIdName;
    std::u16string mediaDescriptionName;
    std::vector<std::u16string> platformFragments;  // lower case, none empty
    // Lower case; an empty pattern matches nothing.
    std::u16string suffix6;
    std::u16string suffix9;
    std::u16string anywhere;
    std::u16string suffix20;
    std::vector<std::u16string> startNames;
    std::u16string startValue;
};

std::u16string Member(ProfileItem item, const char* member) {
    return Utf8ToUtf16(ProfileMember(item, member));
}

HeaderProfile LoadHeaderProfile() {
    HeaderProfile profile;
    profile.client = {Member(ProfileItem::kClientHeader, "name"),
                      Member(ProfileItem::kClientHeader, "value")};
    profile.deviceIdName = Member(ProfileItem::kDeviceHeaders, "deviceId");
    profile.deviceDescriptionName = Member(ProfileItem::kDeviceHeaders, "deviceDescription");
    profile.mediaIdName = Member(ProfileItem::kMediaDeviceHeaders, "deviceId");
    profile.mediaDescriptionName = Member(ProfileItem::kMediaDeviceHeaders, "deviceDescription");

    const nlohmann::json fragments = ProfileJson(ProfileItem::kPlatformHostFragments);
    if (fragments.is_array()) {
        for (const auto& fragment : fragments) {
            if (fragment.is_string() && !fragment.get<std::string>().empty()) {
                profile.platformFragments.push_back(
                    ToLowerAscii(Utf8ToUtf16(fragment.get<std::string>())));
            }
        }
    }

    const nlohmann::json patterns = ProfileJson(ProfileItem::kMediaPatterns);
    if (patterns.is_object()) {
        const auto pattern = [&](const char* name) {
            const auto found = patterns.find(name);
            return found != patterns.end() && found->is_string()
                       ? ToLowerCopy(Utf8ToUtf16(found->get<std::string>()))
                       : std::u16string();
        };
        profile.suffix6 = pattern("suffix6");
        profile.suffix9 = pattern("suffix9");
        profile.anywhere = pattern("anywhere");
        profile.suffix20 = pattern("suffix20");
    }

    const nlohmann::json startHeaders = ProfileJson(ProfileItem::kStartWindowHeaders);
    if (startHeaders.is_object() && startHeaders.contains("names") &&
        startHeaders["names"].is_array()) {
        profile.startValue = Member(ProfileItem::kStartWindowHeaders, "value");
        for (const auto& name : startHeaders["names"]) {
            if (name.is_string())
                profile.startNames.push_back(Utf8ToUtf16(name.get<std::string>()));
        }
    }
    return profile;
}

const HeaderProfile& Profile() {
    static const HeaderProfile profile = LoadHeaderProfile();
    return profile;
}

void Add(std::vector<RequestHeader>& headers, const std::u16string& name,
         std::u16string_view value) {
    if (!name.empty() && !value.empty())
        headers.push_back({name, std::u16string(value)});
}

void AddDeviceHeaders(std::vector<RequestHeader>& headers, const std::u16string& idName,
                      const std::u16string& descriptionName, const DeviceValues& device) {
    Add(headers, idName, device.id);
    Add(headers, descriptionName, device.description);
}

// An empty pattern matches nothing: it would otherwise send the device values to every host.
bool EndsWithPattern(std::u16string_view lowerUrl, std::u16string_view pattern,
                     std::size_t length) {
    return !pattern.empty() && pattern.size() == length && lowerUrl.size() >= length &&
           lowerUrl.substr(lowerUrl.size() - length) == pattern;
}

bool IsPlatformHost(std::u16string_view host) {
    if (host.empty())
        return false;
    for (const auto& fragment : Profile().platformFragments) {
        if (Contains(host, fragment))
            return true;
    }
    return false;
}

}  // namespace

bool IsPlatformAddress(std::u16string_view url) {
    return IsPlatformHost(HostOf(url));
}

bool IsMediaAddress(std::u16string_view url) {
    const std::u16string lower = ToLowerCopy(url);
    const HeaderProfile& profile = Profile();
    return EndsWithPattern(lower, profile.suffix6, 6) ||
           EndsWithPattern(lower, profile.suffix9, 9) ||
           (!profile.anywhere.empty() && Contains(lower, profile.anywhere)) ||
           EndsWithPattern(lower, profile.suffix20, 20);
}

std::u16string PinCheckHost(std::u16string_view lowerUrl) {
    if (!lowerUrl.starts_with(u"https://"))
        return {};
    return HostOf(lowerUrl);
}

std::vector<RequestHeader> RequestHeaders(std::u16string_view url, BrowserWindow window,
                                          const DeviceValues& device,
                                          std::u16string_view linkServer) {
    const HeaderProfile& profile = Profile();
    const std::u16string host = HostOf(url);
    std::vector<RequestHeader> headers;
    headers.reserve(5);
    Add(headers, profile.client.name, profile.client.value);
    if (IsPlatformHost(host))
        AddDeviceHeaders(headers, profile.deviceIdName, profile.deviceDescriptionName, device);
    if (IsMediaAddress(url))
        AddDeviceHeaders(headers, profile.mediaIdName, profile.mediaDescriptionName, device);

    if (window == BrowserWindow::kMain) {
        if (IsYouTubeHost(host)) {
            std::u16string_view referer = linkServer;
            if (referer.ends_with(u'/'))
                referer.remove_suffix(1);
            Add(headers, u"Referer", referer);
        }
    } else {
        for (const auto& name : profile.startNames)
            Add(headers, name, profile.startValue);
    }
    return headers;
}

std::vector<RequestHeader> PlatformNavigationHeaders(std::u16string_view address,
                                                     const DeviceValues& device) {
    std::vector<RequestHeader> headers;
    if (!IsPlatformAddress(address))
        return headers;
    const HeaderProfile& profile = Profile();
    Add(headers, profile.client.name, profile.client.value);
    Add(headers, profile.deviceIdName, device.id);
    Add(headers, profile.mediaIdName, device.id);
    Add(headers, profile.deviceDescriptionName, device.description);
    Add(headers, profile.mediaDescriptionName, device.description);
    return headers;
}

}  // namespace kestrum
