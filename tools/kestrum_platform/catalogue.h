#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kestrum::platform {

// One sample content as the content endpoint describes it. An empty youtubeUrl is sent as
// null, as the platform does for contents without a video.
struct SampleContent {
    std::string id;
    std::string summary;  // for the start-up listing and the course page
    std::string type;
    std::string url;
    std::string youtubeUrl;
    std::int32_t numericId = 0;
    std::string watermark;
};

// The identifier whose refusal is worded in Arabic only, as some tenants' platforms answer.
inline constexpr const char* kArabicRefusalId = "withdrawn";

// One content of every kind the player tells apart, with addresses under `origin`
// ("https://localhost:8443").
std::vector<SampleContent> BuildCatalogue(const std::string& origin);

const SampleContent* FindContent(const std::vector<SampleContent>& catalogue,
                                 const std::string& id);

// The page script for the decimal number after the page-script prefix; nothing for a
// number no content has (or for text that is no number).
std::optional<std::string> PageScriptFor(const std::vector<SampleContent>& catalogue,
                                         const std::string& number);

}  // namespace kestrum::platform
