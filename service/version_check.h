#pragma once

#include <string>

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

// Asks the service whether a newer version exists: the built-in address when `server` is
// empty, else the link's server. Any failure means no update.
VersionCheckResult CheckAppVersion(double currentVersion, const std::u16string& server);

}  // namespace kestrum
