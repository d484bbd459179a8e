#include "common/build_platform.h"

namespace kestrum {

BuildPlatform ThisBuildPlatform() {
    return BuildPlatform::kLinux;
}

}  // namespace kestrum
