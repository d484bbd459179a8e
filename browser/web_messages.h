#pragma once

#include <string_view>

namespace kestrum {

// What a page's web message asks of the player. The message is the posted string itself,
// or the JSON text of a posted value that is not a string.
enum class MessageAction {
    kIgnore,
    kPrint,             // "requestPrint": both windows
    kToggleFullscreen,  // "toggleFullscreen": main window
    kPageLoaded,        // "pageLoaded": main window
    kHome,              // "btn_home": start window
    kBack,              // "btn_back": start window
    kReload,            // "btn_reload": start window
    kStartFullscreen,   // "btn_fullscreen": start window
    kOpenLiveClass,     // "openLiveClassInBrowser": main window, the live class page's button
};

// "requestPrint" first (the word, the word in double quotes, or that quoted form anywhere,
// as in an object posted with it as a value), then the content page's "toggleFullscreen"
// and "pageLoaded" (whole message, bare or in double quotes), then the live class page's
// "openLiveClassInBrowser" (likewise).
MessageAction MainWindowMessageAction(std::u16string_view message);

// "requestPrint" as above, then the toolbar's buttons, each only as the whole message.
MessageAction StartWindowMessageAction(std::u16string_view message);

}  // namespace kestrum
