#pragma once

#include <string>
#include <string_view>

namespace kestrum {

// The page's message asking the player to open the live class in the web browser, and the
// type of the player's answer ({"type": ..., "status": "opened" | "failed"}).
inline constexpr std::u16string_view kOpenLiveClassMessage = u"openLiveClassInBrowser";
inline constexpr std::u16string_view kLiveClassAnswerType = u"liveClassInBrowser";

// The meeting address that may be handed to the desktop's web browser: an https address
// without blanks or control characters (nothing a program could read as an option or a second
// argument); empty for anything else.
std::u16string LiveClassBrowserAddress(std::u16string_view meetingUrl);

// Shown instead of a live class when the browser engine cannot take part in a video call:
// says so in English and Arabic, shows the meeting address and, for an address the web
// browser may be given, a button that posts kOpenLiveClassMessage; the player's answer is
// shown under it.
std::u16string BuildLiveClassPage(std::u16string_view meetingUrl, std::u16string_view title);

// The player's answer to the page, as JSON text.
std::u16string LiveClassAnswer(bool opened);

}  // namespace kestrum
