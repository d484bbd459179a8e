#pragma once

#include <string>

#include "common/build_platform.h"

namespace kestrum {

struct VersionCheckResult {
    bool hasUpdate = false;
    bool mandatory = false;
    std::u16string downloadUrl;  // may be empty: the built-in download address applies
};

// Reads the service's version answer: an update when its "version" is greater than the
// running one as a number; "is_required" 1 (number) or "1" (text) makes it mandatory.
// Anything unusable means no update.
VersionCheckResult ReadVersionAnswer(const std::string& body, double currentVersion);

// Where the build of `platform` asks for the newest version: the profile's start-up address
// when `server` is empty, else the link's server followed by the profile's path.
std::u16string VersionCheckAddress(const std::u16string& server, BuildPlatform platform);

// The answer as the build of `platform` may offer it: a download of another system's
// installer (a Windows ".exe" or ".msi" named to a Linux build) is dropped, so that the
// built-in download address of this system applies.
VersionCheckResult KeepOwnPlatformDownload(VersionCheckResult result, BuildPlatform platform);

// Asks the service whether a newer version exists for this build: the built-in address when
// `server` is empty, else the link's server. Any failure means no update.
VersionCheckResult CheckAppVersion(double currentVersion, const std::u16string& server);

}  // namespace kestrum
