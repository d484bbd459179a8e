#include "browser/web_messages.h"

#include <string>

namespace kestrum {
namespace {

bool IsWordOrQuotedWord(std::u16string_view message, std::u16string_view word) {
    if (message == word)
        return true;
    return message.size() == word.size() + 2 && message.front() == u'"' && message.back() == u'"' &&
           message.substr(1, word.size()) == word;
}

bool AsksToPrint(std::u16string_view message) {
    constexpr std::u16string_view word = u"requestPrint";
    const std::u16string quoted = u"\"" + std::u16string(word) + u"\"";
    return message == word || message.find(quoted) != std::u16string_view::npos;
}

}  // namespace

MessageAction MainWindowMessageAction(std::u16string_view message) {
    if (AsksToPrint(message))
        return MessageAction::kPrint;
    if (IsWordOrQuotedWord(message, u"toggleFullscreen"))
        return MessageAction::kToggleFullscreen;
    if (IsWordOrQuotedWord(message, u"pageLoaded"))
        return MessageAction::kPageLoaded;
    if (IsWordOrQuotedWord(message, u"openLiveClassInBrowser"))
        return MessageAction::kOpenLiveClass;
    return MessageAction::kIgnore;
}

MessageAction StartWindowMessageAction(std::u16string_view message) {
    if (AsksToPrint(message))
        return MessageAction::kPrint;
    if (message == u"btn_home")
        return MessageAction::kHome;
    if (message == u"btn_back")
        return MessageAction::kBack;
    if (message == u"btn_reload")
        return MessageAction::kReload;
    if (message == u"btn_fullscreen")
        return MessageAction::kStartFullscreen;
    return MessageAction::kIgnore;
}

}  // namespace kestrum
