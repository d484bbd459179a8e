#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "common/rotating_log_file.h"

namespace kestrum {

// The player's trace lines, each with its UTC time, kept in a small file a learner can send
// to support. Only the player starts it; other programs built on the same code (the tool, the
// web process, tests) leave it off, and writing to it is then a no-op.

inline constexpr std::string_view kSupportLogFileName = "kestrum.log";
inline constexpr std::uintmax_t kSupportLogLimit = 256 * 1024;
// A longer line (a refused address can be a whole data: document) is cut to this many bytes.
inline constexpr std::size_t kSupportLogLineLimit = 2048;

class SupportLog {
  public:
    // Writes to `folder`/kestrum.log from now on, creating the folder. False when the folder
    // cannot be made; the player goes on without the file.
    bool Start(const std::filesystem::path& folder);

    // Lines after this go nowhere. Values withheld so far stay withheld.
    void Stop();

    // Appends one line with its time stamp when started. Never throws or reports: the player
    // must not fail over its log.
    void Write(std::string_view line) noexcept;

    // From now on `secret` (a link's token, content or server) is written as "[withheld]",
    // so a trace line that names it still leaves the file fit to share; so are its
    // percent-encoded forms, as it would stand inside an address. A number of fewer than
    // eight digits is withheld only where no digit touches it (not inside "722").
    void Withhold(std::string_view secret);

  private:
    // The text `line` becomes after the time stamp: withheld values replaced, cut to
    // kSupportLogLineLimit bytes ending " [cut]", control characters shown as '?' so no text
    // can forge a line of its own. The caller holds the lock.
    std::string ShareableText(std::string_view line) const;

    std::mutex mutex_;
    std::unique_ptr<RotatingLogFile> file_;
    std::vector<std::string> withheld_;  // longest first, so a value inside another goes last
};

// The player's one support log (never destroyed: a thread may still log while the process
// runs its exit handlers), and the calls the rest of the code makes on it.
SupportLog& TheSupportLog();
inline bool StartSupportLog(const std::filesystem::path& folder) {
    return TheSupportLog().Start(folder);
}
inline void WriteSupportLog(std::string_view line) {
    TheSupportLog().Write(line);
}
inline void WithholdFromSupportLog(std::string_view secret) {
    TheSupportLog().Withhold(secret);
}

}  // namespace kestrum
