#include "app/windows_generation.h"

namespace kestrum {

int WindowsGenerationOf(const OsVersion& version) {
    if (version.major > 9)
        return version.build > 21999 ? 11 : 10;
    if (version.major == 6)
        return version.minor < 2 ? 7 : 8;
    return -1;
}

}  // namespace kestrum
