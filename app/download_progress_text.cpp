#include "app/download_progress_text.h"

#include <algorithm>
#include <cstdint>

namespace kestrum {
namespace {

constexpr std::uint64_t kKilo = 1024;
constexpr std::uint64_t kMega = kKilo * kKilo;

std::u16string Digits(std::uint64_t value) {
    std::u16string text;
    do {
        text.insert(text.begin(), static_cast<char16_t>(u'0' + value % 10));
        value /= 10;
    } while (value != 0);
    return text;
}

}  // namespace

std::optional<int> DownloadPercent(std::uint64_t received, std::optional<std::uint64_t> total) {
    if (!total || *total == 0)
        return std::nullopt;
    if (received >= *total)
        return 100;
    // Short of the total it is never 100. received * 100 overflows only for counts far beyond
    // any download; dividing the total first keeps those close enough.
    const std::uint64_t share =
        received > UINT64_MAX / 100 ? received / (*total / 100) : received * 100 / *total;
    return static_cast<int>(std::min<std::uint64_t>(share, 99));
}

std::u16string ByteCountText(std::uint64_t bytes) {
    if (bytes < kMega)
        return Digits(bytes / kKilo) + u" KB";
    const std::uint64_t tenths = bytes > UINT64_MAX / 10 ? bytes / kMega * 10 : bytes * 10 / kMega;
    return Digits(tenths / 10) + u"." + Digits(tenths % 10) + u" MB";
}

std::u16string DownloadProgressText(std::uint64_t received, std::optional<std::uint64_t> total) {
    const std::optional<int> percent = DownloadPercent(received, total);
    if (!percent)
        return ByteCountText(received);
    return ByteCountText(received) + u" of " + ByteCountText(*total) + u" (" +
           Digits(static_cast<std::uint64_t>(*percent)) + u"%)";
}

}  // namespace kestrum
