#include "tools/kestrum_platform/service_profile.h"

#include <stdexcept>

#include "common/platform_profile.h"

namespace kestrum::platform {
namespace {

std::string Text(ProfileItem item, const char* name) {
    std::string value = ProfileText(item);
    if (value.empty())
        throw std::runtime_error(std::string("the profile has no ") + name);
    return value;
}

std::string Member(ProfileItem item, const char* object, const char* member) {
    std::string value = ProfileMember(item, member);
    if (value.empty())
        throw std::runtime_error(std::string("the profile has no ") + object + "." + member);
    return value;
}

}  // namespace

std::string PathOfUrl(const std::string& url) {
    const auto scheme = url.find("://");
    const auto authority = scheme == std::string::npos ? 0 : scheme + 3;
    const auto slash = url.find_first_of("/?", authority);
    if (slash == std::string::npos)
        return "/";
    std::string path = url.substr(slash);
    return path[0] == '?' ? "/" + path : path;
}

std::string WithoutQuery(const std::string& path) {
    return path.substr(0, path.find('?'));
}

std::string QueryOf(const std::string& path) {
    const auto question = path.find('?');
    return question == std::string::npos ? std::string() : path.substr(question + 1);
}

ServiceProfile LoadServiceProfile() {
    ServiceProfile profile;
    const std::string home = Text(ProfileItem::kHomeUrl, "homeUrl");
    const auto hostStart = home.find("://");
    if (hostStart == std::string::npos)
        throw std::runtime_error("the profile's homeUrl names no scheme");
    const auto hostEnd = home.find_first_of(":/?", hostStart + 3);
    profile.host = home.substr(
        hostStart + 3, hostEnd == std::string::npos ? std::string::npos : hostEnd - hostStart - 3);
    profile.homePath = WithoutQuery(PathOfUrl(home));

    profile.pinsPath = WithoutQuery(PathOfUrl(Text(ProfileItem::kPinsUrl, "pinsUrl")));
    const auto addVersionRoutes = [&](ProfileItem url, const char* urlName, ProfileItem path,
                                      const char* pathName, ProfileItem download,
                                      const char* downloadName) {
        const std::string downloadUrl = Text(download, downloadName);
        for (const std::string& target : {PathOfUrl(Text(url, urlName)), Text(path, pathName)})
            profile.versionRoutes.push_back({WithoutQuery(target), QueryOf(target), downloadUrl});
        profile.updateDownloadPaths.push_back(WithoutQuery(PathOfUrl(downloadUrl)));
    };
    addVersionRoutes(ProfileItem::kVersionUrl, "versionUrl", ProfileItem::kVersionPath,
                     "versionPath", ProfileItem::kUpdateDownloadUrl, "updateDownloadUrl");
    addVersionRoutes(ProfileItem::kLinuxVersionUrl, "linuxVersionUrl",
                     ProfileItem::kLinuxVersionPath, "linuxVersionPath",
                     ProfileItem::kLinuxUpdateDownloadUrl, "linuxUpdateDownloadUrl");

    profile.contentPath = WithoutQuery(Text(ProfileItem::kContentPath, "contentPath"));
    profile.tokenField = Member(ProfileItem::kContentFormFields, "contentFormFields", "token");
    profile.contentField = Member(ProfileItem::kContentFormFields, "contentFormFields", "content");

    const auto member = [](const char* name) {
        return Member(ProfileItem::kContentMembers, "contentMembers", name);
    };
    profile.dataMember = member("data");
    profile.typeMember = member("type");
    profile.urlMember = member("url");
    profile.youtubeUrlMember = member("youtubeUrl");
    profile.watermarkMember = member("watermark");
    profile.numericIdMember = member("numericId");

    profile.pageScriptPrefix =
        PathOfUrl(Text(ProfileItem::kPageScriptUrlPrefix, "pageScriptUrlPrefix"));
    profile.startPath = WithoutQuery(PathOfUrl(Text(ProfileItem::kStartUrl, "startUrl")));
    profile.runtimeInstallerPath =
        WithoutQuery(PathOfUrl(Text(ProfileItem::kRuntimeInstallerUrl, "runtimeInstallerUrl")));

    const nlohmann::json pins = ProfileJson(ProfileItem::kDefaultPins);
    if (!pins.is_object() || !pins.contains("scope") || !pins["scope"].is_string() ||
        !pins.contains("pins") || !pins["pins"].is_array())
        throw std::runtime_error("the profile's defaultPins is not {\"scope\", \"pins\"}");
    profile.pinScope = pins["scope"].get<std::string>();
    for (const auto& pin : pins["pins"]) {
        if (pin.is_string())
            profile.defaultPins.push_back(pin.get<std::string>());
    }
    return profile;
}

}  // namespace kestrum::platform
