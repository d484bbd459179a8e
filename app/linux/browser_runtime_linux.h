#pragma once

namespace kestrum {

// The web engine is a package the player depends on; this checks at run time that the
// WebKitGTK in use is one the player supports, and tells the learner which package to
// install when it is not. True when the engine can be used.
bool EnsureBrowserRuntime();

// The oldest WebKitGTK 4.1 the player works with.
inline constexpr unsigned kMinimumEngineMajor = 2;
inline constexpr unsigned kMinimumEngineMinor = 36;

bool IsSupportedEngine(unsigned major, unsigned minor);

}  // namespace kestrum
