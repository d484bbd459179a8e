#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace kestrum {

// The share of a download that has arrived, 0 to 100, rounded down; nothing when the total
// is unknown or zero. More than the total counts as 100.
std::optional<int> DownloadPercent(std::uint64_t received, std::optional<std::uint64_t> total);

// A byte count as the learner reads it: "512 KB" below a megabyte, then "1.5 MB" (one
// decimal, rounded down; 1 KB = 1024 bytes). Independent of the locale.
std::u16string ByteCountText(std::uint64_t bytes);

// "1.5 MB of 2.0 MB (75%)" when the total is known, otherwise "1.5 MB".
std::u16string DownloadProgressText(std::uint64_t received, std::optional<std::uint64_t> total);

}  // namespace kestrum
