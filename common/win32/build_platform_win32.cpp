#include "common/build_platform.h"

namespace kestrum {

BuildPlatform ThisBuildPlatform() {
    return BuildPlatform::kWindows;
}

}  // namespace kestrum
