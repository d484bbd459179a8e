#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace kestrum {

// An absolute http(s) address split the way the system's URL cracker splits it.
struct UrlParts {
    bool secure = false;
    std::u16string host;  // as written in the address
    std::uint16_t port = 0;
    std::u16string path;  // path with query and fragment; "/" when none
};

// Nothing when the address is not an absolute http or https address with a host, a port
// in range, a host of at most 255 characters or a path of at most 2047.
std::optional<UrlParts> SplitUrl(const std::u16string& url);

}  // namespace kestrum
