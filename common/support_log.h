#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace kestrum {

// The player's trace lines, each with its UTC time, kept in a small file a learner can send
// to support. Only the player starts it; other programs built on the same code (the tool, the
// web process, tests) leave it off, and writing to it is then a no-op.

inline constexpr std::string_view kSupportLogFileName = "kestrum.log";
inline constexpr std::uintmax_t kSupportLogLimit = 256 * 1024;

// Writes to `folder`/kestrum.log from now on, creating the folder. False when the folder
// cannot be made; the player goes on without the file.
bool StartSupportLog(const std::filesystem::path& folder);

// Stops writing; lines after this go nowhere. Values withheld so far stay withheld.
void StopSupportLog();

// Appends one line with its time stamp when the log is started. Never throws or reports:
// the player must not fail over its log.
void WriteSupportLog(std::string_view line);

// From now on `secret` (a link's token, content or server) is written as "[withheld]", so a
// trace line that names it still leaves the file fit to share.
void WithholdFromSupportLog(std::string_view secret);

// The text `line` becomes in the file after the time stamp: withheld values replaced, and
// control characters shown as '?' so no text can forge a line of its own.
std::string SupportLogText(std::string_view line);

}  // namespace kestrum
