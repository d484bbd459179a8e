#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kestrum {

// What the player needs of the system beside its own program to show content the way it
// promises: a new enough web engine, its own web-process extension (the identity headers and
// the pin check of every request live there) and the media components of its videos.

// One media component and the engine elements that can each provide it.
struct MediaComponent {
    std::string_view description;  // as the learner reads it in the box
    std::vector<std::string_view> elements;
};

// H.264/AAC in MP4 and VP8/VP9 with Vorbis or Opus in WebM.
const std::vector<MediaComponent>& MediaComponents();

// The descriptions of the components none of whose elements `hasElement` finds, in order.
std::vector<std::string> MissingMediaComponents(
    const std::function<bool(std::string_view element)>& hasElement);

struct RuntimeProblems {
    std::optional<std::string> engineTooOld;  // the engine's version when it is too old
    std::optional<std::string> extension;     // why the web extension cannot be used
    std::vector<std::string> missingMedia;    // MissingMediaComponents

    bool Any() const { return engineTooOld || extension || !missingMedia.empty(); }
};

// The box that ends the start: each problem with what to install, in English and then in
// Arabic.
std::u16string RuntimeProblemText(const RuntimeProblems& problems);
inline constexpr std::u16string_view kRuntimeProblemCaption = u"Molvane — Component Required";

}  // namespace kestrum
