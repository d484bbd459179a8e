#pragma once

#include <optional>
#include <string>

namespace kestrum {

// The web engine, its media components and the player's own web-process extension are
// installed beside the player, not by it: this checks at run time that all of them are there
// and usable, and tells the learner what to install when they are not. True when the player
// can show content as it promises; otherwise the start ends (never a player without its
// request handling or its videos).
bool EnsureBrowserRuntime();

// The oldest WebKitGTK 4.1 the player works with.
inline constexpr unsigned kMinimumEngineMajor = 2;
inline constexpr unsigned kMinimumEngineMinor = 36;

bool IsSupportedEngine(unsigned major, unsigned minor);

// Why the web extension at `path` cannot be used (missing, not loadable, not the player's),
// or nothing when it can.
std::optional<std::string> WebExtensionProblem(const std::string& path);

}  // namespace kestrum
