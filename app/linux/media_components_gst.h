#pragma once

#include <optional>
#include <string>
#include <vector>

namespace kestrum {

// The media components (see app/runtime_requirements.h) this system's media framework lacks,
// asked of the framework in this process. Its first use on a machine builds the framework's
// plugin registry, loading every plugin: the player leaves that to kestrum-media-check, a
// process of its own, and calls this only when that program cannot answer.
std::vector<std::string> MissingMediaInThisProcess();

// Whether FoundInTheirOwnPlugins may be asked in this process: the framework is not yet in use
// here, its plugins sit in their usual folder and no registry has been built for this user.
// With a registry, asking the framework costs a few milliseconds and needs no shortcut.
bool CanLookInTheirOwnPlugins();

// The shortcut of a first start: loads only the plugins that usually hold the components'
// elements (a fifth of them, most of the time in the one decoder library), without building a
// registry. True when every component was found that way. False says nothing about what is
// missing, and this process's framework then knows only those plugins: the full answer must
// come from MissingMediaInThisProcess in a new process.
bool FoundInTheirOwnPlugins();

}  // namespace kestrum
