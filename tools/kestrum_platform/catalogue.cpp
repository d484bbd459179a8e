#include "tools/kestrum_platform/catalogue.h"

#include <charconv>

namespace kestrum::platform {

std::vector<SampleContent> BuildCatalogue(const std::string& origin) {
    const std::string learner = "learner-0100@kestrum.test";
    return {
        {"lesson-page", "a platform page shown as it is", "video",
         origin + "/content/lesson-page.html", "", 101, learner},
        {"lesson-video", "a video file", "video", origin + "/content/media/lesson-video.mp4", "",
         102, learner},
        {"lesson-youtube", "a YouTube video (embedded, with a page script)", "video", "",
         "https://www.youtube.com/watch?v=M7lc1UVf-VE&t=5s", 103, learner},
        {"live-zoom", "a Zoom meeting", "zoom", "https://us02web.zoom.us/j/81234567890?pwd=demo",
         "", 104, learner},
        {"live-zoom-other-type", "a Zoom address under another type", "live",
         "https://kestrum.zoom.us/j/81234567891", "", 105, learner},
        {"notes-pdf", "a PDF document", "pdf", origin + "/content/notes.pdf", "", 106,
         "طالب تجريبي 0100"},
        {"notes-pdf-url", "a PDF document by address", "pdf_url",
         origin + "/content/notes.pdf?copy=url", "", 107, learner},
        {"interactive", "a page shown through the generated frame", "interactive",
         origin + "/content/interactive.html", "", 108, learner},
    };
}

const SampleContent* FindContent(const std::vector<SampleContent>& catalogue,
                                 const std::string& id) {
    for (const auto& content : catalogue) {
        if (content.id == id)
            return &content;
    }
    return nullptr;
}

std::optional<std::string> PageScriptFor(const std::vector<SampleContent>& catalogue,
                                         const std::string& number) {
    std::int32_t value = 0;
    const char* end = number.data() + number.size();
    const auto [stop, error] = std::from_chars(number.data(), end, value);
    if (number.empty() || error != std::errc() || stop != end)
        return std::nullopt;
    for (const auto& content : catalogue) {
        if (content.numericId == value) {
            return "(function () {\n"
                   "  window.kestrumLesson = { id: " +
                   std::to_string(value) + ", contentId: \"" + content.id +
                   "\" };\n"
                   "  document.documentElement.setAttribute(\"data-kestrum-lesson\", \"" +
                   std::to_string(value) + "\");\n})();\n";
        }
    }
    return std::nullopt;
}

}  // namespace kestrum::platform
