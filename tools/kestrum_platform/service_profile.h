#pragma once

#include <string>
#include <vector>

namespace kestrum::platform {

// The texts the player and this service agree on, restored from the build's profile: the
// service answers where the player will ask, under the names the player will read.
struct ServiceProfile {
    std::string host;  // of the home address ("localhost")
    std::string pinsPath;
    // Where each platform's build asks for the newest version (its start-up address and its
    // path after a link's server), and the download the answer names to it.
    struct VersionRoute {
        std::string path;   // without the query
        std::string query;  // as the player's address has it; empty when none
        std::string downloadUrl;
    };
    std::vector<VersionRoute> versionRoutes;  // Windows first
    std::string contentPath;
    std::string tokenField;    // "token=": the form body begins with it
    std::string contentField;  // "&cid=": it comes between the token and the identifier
    std::string dataMember, typeMember, urlMember, youtubeUrlMember, watermarkMember,
        numericIdMember;
    std::string pageScriptPrefix;
    std::string startPath, homePath, runtimeInstallerPath;
    std::vector<std::string> updateDownloadPaths;  // of every platform
    std::string pinScope;
    std::vector<std::string> defaultPins;  // as stored: bare Base64
};

// Throws std::runtime_error naming the member that is missing or not what it should be.
ServiceProfile LoadServiceProfile();

// The path (with any query) of an address: "https://h:1/a?b" gives "/a?b"; "/" when none.
std::string PathOfUrl(const std::string& url);
// The path without its query.
std::string WithoutQuery(const std::string& path);
// The query of a path or address, without the "?"; empty when none.
std::string QueryOf(const std::string& path);

}  // namespace kestrum::platform
