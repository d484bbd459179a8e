#pragma once

namespace kestrum {

struct OsVersion {
    unsigned long major = 0;
    unsigned long minor = 0;
    unsigned long build = 0;
};

// 11 or 10 for major versions above 9 (11 from build 22000 on), 7 or 8 for major 6,
// -1 for anything else (including an unknown, all-zero version).
int WindowsGenerationOf(const OsVersion& version);

}  // namespace kestrum
