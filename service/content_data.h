#pragma once

#include <cstdint>
#include <string>

namespace kestrum {

// The service's description of one content (UTF-8 texts as received).
struct ContentData {
    std::string type = "video";
    std::string url;
    std::string youtubeUrl;
    std::string watermark;
    std::int32_t numericId = 1;
};

}  // namespace kestrum
