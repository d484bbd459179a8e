#pragma once

#include "common/platform_profile.h"

namespace kestrum {

// The operating system a build of the player is made for.
enum class BuildPlatform { kWindows, kLinux };

// This build's system; each platform's own source defines it.
BuildPlatform ThisBuildPlatform();

// The profile's update texts for one platform's build: where it asks for the newest version
// (the start-up address, and the path after a link's server) and the built-in download
// address. Each build asks with its own, so the service answers with its download.
struct UpdateProfileItems {
    ProfileItem versionUrl;
    ProfileItem versionPath;
    ProfileItem downloadUrl;
};
UpdateProfileItems UpdateItemsFor(BuildPlatform platform);

}  // namespace kestrum
