#include "common/build_platform.h"

namespace kestrum {

UpdateProfileItems UpdateItemsFor(BuildPlatform platform) {
    if (platform == BuildPlatform::kLinux) {
        return {ProfileItem::kLinuxVersionUrl, ProfileItem::kLinuxVersionPath,
                ProfileItem::kLinuxUpdateDownloadUrl};
    }
    return {ProfileItem::kVersionUrl, ProfileItem::kVersionPath, ProfileItem::kUpdateDownloadUrl};
}

}  // namespace kestrum
