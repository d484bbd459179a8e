#pragma once

#include <cstdint>
#include <filesystem>
#include <mutex>
#include <string_view>

namespace kestrum {

// A text file that never grows much past `limit` bytes: when the next line would pass it,
// the file becomes `<name>.1` (replacing the one before) and a new file begins. The file is
// opened for each line, so another process (a second player) may write and rotate it too,
// and nothing stays open that Windows would refuse to rename.
class RotatingLogFile {
  public:
    RotatingLogFile(std::filesystem::path file, std::uintmax_t limit);

    // Appends `line` and a line break. False when the line could not be written (folder
    // missing, no permission, full disk, rotation refused); never throws.
    bool Append(std::string_view line) noexcept;

    const std::filesystem::path& file() const { return file_; }
    std::filesystem::path previousFile() const;

  private:
    bool RotateIfFull(std::uintmax_t incoming) noexcept;

    std::filesystem::path file_;
    std::uintmax_t limit_;
    std::mutex mutex_;
};

}  // namespace kestrum
