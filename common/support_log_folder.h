#pragma once

#include <filesystem>

namespace kestrum {

// Where the player keeps its support log: $XDG_STATE_HOME/kestrum (by default
// ~/.local/state/kestrum) on Linux, the local application data folder's Kestrum folder on
// Windows. Empty when the system does not say where the user's files go.
std::filesystem::path SupportLogFolder();

}  // namespace kestrum
