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

// The shortcut of a first start: loads only the plugins that usually hold the components'
// elements (most of the time in the one decoder library), without building a registry.
// Nothing, and nothing done, when the shortcut does not apply: a registry exists for this user
// (asking the framework then costs a few milliseconds), the framework's own path variables
// are set or its plugin folder is not where it usually is. True when every component was
// found that way. False says nothing about what is missing, and this process's framework then
// knows only those plugins: the full answer must come from MissingMediaInThisProcess in a new
// process.
std::optional<bool> FoundInTheirOwnPlugins();

// The media check program's option for the full scan, which also builds the registry.
inline constexpr char kMediaScanAllOption[] = "--scan-all";

// Whether the shortcut would be taken again: the framework's paths are its own and this user
// has no registry yet (the shortcut builds none).
bool MediaRegistryMissing();

}  // namespace kestrum
