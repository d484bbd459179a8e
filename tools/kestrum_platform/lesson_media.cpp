#include "tools/kestrum_platform/lesson_media.h"

#include <fstream>
#include <iterator>
#include <map>
#include <mutex>

namespace kestrum::platform {
namespace {

constexpr const char* kMediaPrefix = "/content/media/";

// Read once; the files do not change while the service runs.
std::optional<std::string> MediaFile(const std::string& name) {
    static std::mutex lock;
    static std::map<std::string, std::optional<std::string>> files;
    const std::lock_guard<std::mutex> guard(lock);
    auto found = files.find(name);
    if (found == files.end()) {
        std::ifstream in(std::string(KESTRUM_PLATFORM_MEDIA_DIR) + "/" + name, std::ios::binary);
        std::optional<std::string> bytes;
        if (in)
            bytes.emplace(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        found = files.emplace(name, std::move(bytes)).first;
    }
    return found->second;
}

// Reports as the other probe pages do: one request to /__test/report per finding.
constexpr const char* kVideoProbePage = R"HTML(<!DOCTYPE html>
<html lang="en"><head><meta charset="utf-8"><title>Video probe</title>
<style>body{margin:0;background:#000}video{display:block;width:640px;height:480px}</style>
</head><body>
<video id="lesson" playsinline loop></video>
<script>
const report = (name, value) =>
    fetch('/__test/report?' + new URLSearchParams({ name, value: String(value) }));
const video = document.getElementById('lesson');
const kinds = {
    'mp4-h264': 'video/mp4; codecs="avc1.42E01E"',
    'mp4-h264-aac': 'video/mp4; codecs="avc1.42E01E, mp4a.40.2"',
    'webm-vp8-vorbis': 'video/webm; codecs="vp8, vorbis"',
    'webm-vp9-opus': 'video/webm; codecs="vp9, opus"',
};
for (const [name, type] of Object.entries(kinds)) report('can-play-' + name, video.canPlayType(type));
video.addEventListener('error', () => report('error', video.error ? video.error.code : 'unknown'));
video.addEventListener('playing', () => {
    const first = video.currentTime;
    setTimeout(() => {
        report('advanced', video.currentTime > first + 0.5);
        report('time', first.toFixed(2) + '..' + video.currentTime.toFixed(2));
    }, 2000);
}, { once: true });
video.src = '/content/media/lesson-video.' + (location.search.includes('webm') ? 'webm' : 'mp4');
video.play().then(() => report('play', 'started'), (e) => report('play', e.name));
</script>
</body></html>
)HTML";

}  // namespace

std::optional<Reply> LessonMediaReply(const std::string& path) {
    if (path == "/content/video-probe.html")
        return Reply{200, "text/html; charset=utf-8", kVideoProbePage, {}};
    const std::map<std::string, std::string> types = {{"lesson-video.mp4", "video/mp4"},
                                                      {"lesson-video.webm", "video/webm"}};
    if (path.rfind(kMediaPrefix, 0) != 0)
        return std::nullopt;
    const auto type = types.find(path.substr(std::string(kMediaPrefix).size()));
    if (type == types.end())
        return std::nullopt;
    if (auto bytes = MediaFile(type->first))
        return Reply{200, type->second, std::move(*bytes), {{"Accept-Ranges", "bytes"}}};
    return MessageReply(503, type->first +
                                 " was not made when the stand-in was built (it needs "
                                 "gst-launch-1.0 and the elements scripts/install-deps.sh "
                                 "installs)");
}

}  // namespace kestrum::platform
