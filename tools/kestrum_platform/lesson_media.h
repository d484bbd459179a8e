#pragma once

#include <optional>
#include <string>

#include "tools/kestrum_platform/reply.h"

namespace kestrum::platform {

// The lesson videos, made from GStreamer's test sources when the stand-in is built
// (media/make_lesson_video.sh), and the page that tells whether the player can play them.
//   /content/media/lesson-video.mp4    H.264 and AAC in MP4
//   /content/media/lesson-video.webm   VP8 and Vorbis in WebM
//   /content/video-probe.html[?webm]   plays one of them and reports, through requests to
//                                      /__test/report, what the engine can play and whether
//                                      the video's time advances
// Nothing for any other path.
std::optional<Reply> LessonMediaReply(const std::string& path);

}  // namespace kestrum::platform
