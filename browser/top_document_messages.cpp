#include "browser/top_document_messages.h"

#include "browser/embedded_scripts.h"
#include "common/text_encoding.h"

namespace kestrum {
namespace {

constexpr std::u16string_view kKeyPlaceholder = u"'KESTRUM_BRIDGE_KEY'";

}  // namespace

std::u16string TopDocumentBridgeScript(std::u16string_view key) {
    std::u16string script = Utf8ToUtf16(WebviewBridgeScriptSource());
    const std::size_t at = script.find(kKeyPlaceholder);
    if (at != std::u16string::npos)
        script.replace(at, kKeyPlaceholder.size(), u"'" + std::u16string(key) + u"'");
    return script;
}

std::optional<std::u16string> TopDocumentMessage(std::u16string_view posted,
                                                 std::u16string_view key) {
    if (key.empty() || posted.size() <= key.size() || posted.substr(0, key.size()) != key ||
        posted[key.size()] != u':')
        return std::nullopt;
    return std::u16string(posted.substr(key.size() + 1));
}

}  // namespace kestrum
