#include "common/rotating_log_file.h"

#include <fstream>
#include <string>
#include <system_error>
#include <utility>

namespace kestrum {

RotatingLogFile::RotatingLogFile(std::filesystem::path file, std::uintmax_t limit)
    : file_(std::move(file)), limit_(limit) {}

std::filesystem::path RotatingLogFile::previousFile() const {
    std::filesystem::path previous = file_;
    previous += ".1";
    return previous;
}

bool RotatingLogFile::RotateIfFull(std::uintmax_t incoming) noexcept {
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(file_, error);
    // No file yet, or an empty one: a line longer than the limit still gets written whole.
    if (error || size == 0 || size + incoming <= limit_)
        return true;
    // Windows does not rename onto an existing file.
    std::filesystem::remove(previousFile(), error);
    std::filesystem::rename(file_, previousFile(), error);
    if (!error)
        return true;
    // Another process may just have rotated it; the file is then small again.
    const std::uintmax_t now = std::filesystem::file_size(file_, error);
    return error || now + incoming <= limit_;
}

bool RotatingLogFile::Append(std::string_view line) noexcept {
    try {
        std::string text(line);
        text.push_back('\n');
        const std::lock_guard<std::mutex> lock(mutex_);
        // Refused rotation drops the line rather than let the file grow without bound.
        if (!RotateIfFull(text.size()))
            return false;
        std::ofstream out(file_, std::ios::binary | std::ios::app);
        if (!out)
            return false;
        out.write(text.data(), static_cast<std::streamsize>(text.size()));
        out.flush();
        return static_cast<bool>(out);
    } catch (...) {
        return false;
    }
}

}  // namespace kestrum
