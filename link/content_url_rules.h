#pragma once

#include <string>
#include <string_view>

namespace kestrum {

// YouTube: its main domain or its short-link domain anywhere in the address, any case.
bool IsYouTubeUrl(std::u16string_view address);

// Zoom: its meeting domain after "." or "//", any case.
bool IsZoomUrl(std::u16string_view address);

// An address the content browser may be sent to: "http://" or "https://" (any case) with a
// host, and no control characters anywhere. Anything else (javascript:, file:, data:, a
// relative or empty address) is refused.
bool IsWebAddress(std::u16string_view address);

// Any usual form of a YouTube video address (short link, embed, shorts, live, watch) as the
// embed address of the video with an "origin" parameter naming `linkServer`; the address
// unchanged when no video identifier is found. Other query parameters are dropped.
std::u16string NormalizeYouTubeUrl(std::u16string_view address, std::u16string_view linkServer);

}  // namespace kestrum
