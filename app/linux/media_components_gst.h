#pragma once

#include <string>
#include <vector>

namespace kestrum {

// The media components (see app/runtime_requirements.h) this system's media framework lacks,
// asked of the framework in this process. Its first use on a machine builds the framework's
// plugin registry, loading every plugin: the player leaves that to kestrum-media-check, a
// process of its own, and calls this only when that program cannot answer.
std::vector<std::string> MissingMediaInThisProcess();

}  // namespace kestrum
