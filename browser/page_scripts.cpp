#include "browser/page_scripts.h"

#include "browser/embedded_scripts.h"
#include "browser/escape_js_string.h"
#include "common/text_encoding.h"

namespace kestrum {
namespace {

// The literal of the watermark script that the text replaces (its quotes stay).
constexpr std::u16string_view kWatermarkMarker = u"'KESTRUM_WATERMARK_TEXT'";

}  // namespace

std::u16string LoaderScript() {
    return Utf8ToUtf16(LoaderScriptSource());
}

std::u16string PrintRoutingScript() {
    return Utf8ToUtf16(PrintRoutingScriptSource());
}

std::u16string WatermarkScript(std::u16string_view watermarkText) {
    std::u16string script = Utf8ToUtf16(WatermarkScriptSource());
    const std::size_t at = script.find(kWatermarkMarker);
    if (at == std::u16string::npos)
        return script;
    script.replace(at + 1, kWatermarkMarker.size() - 2, EscapeJsString(watermarkText));
    return script;
}

std::u16string PrintButtonScript() {
    return Utf8ToUtf16(PrintButtonScriptSource());
}

std::u16string NavToolbarScript() {
    return Utf8ToUtf16(NavToolbarScriptSource());
}

std::u16string PageScriptWrapper(std::u16string_view pageScript) {
    return u"(function(){function run(){" + std::u16string(pageScript) +
           u"}if(document.readyState==='loading'){document.addEventListener('DOMContentLoaded',"
           u"run);}else{run();}})();";
}

std::u16string WebviewBridgeScript() {
    return Utf8ToUtf16(WebviewBridgeScriptSource());
}

std::u16string ViewerPrintScript() {
    return Utf8ToUtf16(ViewerPrintScriptSource());
}

std::u16string BridgeDeliveryScript(std::u16string_view jsonText) {
    return u"window.chrome&&window.chrome.webview&&window.chrome.webview._kestrumDeliver&&"
           u"window.chrome.webview._kestrumDeliver('" +
           EscapeJsString(jsonText) + u"');";
}

std::vector<std::u16string> MainWindowDocumentScripts(const AppContext& context) {
    std::vector<std::u16string> scripts{LoaderScript(), PrintRoutingScript()};
    if (context.contentKind == u"url_direct") {
        if (!context.pageScript.empty())
            scripts.push_back(PageScriptWrapper(context.pageScript));
    } else if (context.contentKind == u"pdf" || context.contentKind == u"pdf_url") {
        scripts.push_back(WatermarkScript(context.watermarkText));
        scripts.push_back(PrintButtonScript());
    }
    return scripts;
}

std::vector<std::u16string> StartWindowDocumentScripts() {
    return {PrintRoutingScript(), NavToolbarScript()};
}

}  // namespace kestrum
