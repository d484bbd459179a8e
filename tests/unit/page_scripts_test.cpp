#include <gtest/gtest.h>

#include <optional>

#include "browser/escape_js_string.h"
#include "browser/page_scripts.h"
#include "common/text_encoding.h"

namespace kestrum {
namespace {

bool Has(const std::u16string& script, std::u16string_view part) {
    return script.find(part) != std::u16string::npos;
}

TEST(PageScripts, EachIsBuiltInWithItsGuardAndElements) {
    struct Case {
        const char* name;
        std::u16string script;
        std::vector<std::u16string_view> parts;
    };
    const Case cases[] = {
        {"loader",
         LoaderScript(),
         {u"window._molvaneLoaderAdded", u"'molvane-full-loader'", u"جاري التحميل... Loading...",
          u"molvane-spin"}},
        {"print routing",
         PrintRoutingScript(),
         {u"window._molvanePrintBlockAdded", u"postMessage('requestPrint')", u"e.key === 'p'",
          u"configurable: false", u"'beforeprint'"}},
        {"watermark",
         WatermarkScript(u"w"),
         {u"window._molvaneWatermarkAdded", u"'molvane-watermark'", u"MutationObserver",
          u"z-index:2147483646"}},
        {"print button",
         PrintButtonScript(),
         {u"window._molvanePrintBtnAdded", u"'molvane-print-btn'", u"'&#128424;'",
          u"postMessage('requestPrint')", u"MutationObserver"}},
        {"navigation toolbar",
         NavToolbarScript(),
         {u"window._molvaneNavAdded", u"'molvane-nav-container'", u"'molvane-full-loader'",
          u"'btn_home'", u"'btn_back'", u"'btn_reload'", u"'btn_fullscreen'", u"'mv_nx'",
          u"'mv_ny'", u"🏠", u"⛶"}},
        {"bridge",
         WebviewBridgeScript(),
         {u"window._molvaneBridgeAdded", u"messageHandlers", u"_kestrumDeliver", u"'message'"}},
        {"viewer print", ViewerPrintScript(), {u"window._molvaneViewerPrintAdded", u"'print'"}},
    };
    for (const auto& c : cases) {
        ASSERT_FALSE(c.script.empty()) << c.name;
        // A guarded arrow function run at once; the guard is tested before anything else.
        EXPECT_TRUE(Has(c.script, u"(() => {")) << c.name;
        EXPECT_TRUE(c.script.ends_with(u"})();\n")) << c.name;
        for (const auto part : c.parts)
            EXPECT_TRUE(Has(c.script, part)) << c.name << ": " << Utf16ToUtf8(part);
    }
    EXPECT_TRUE(Has(WebviewBridgeScript(),
                    u"handlers." + Utf8ToUtf16(std::string(kHostMessageHandlerName))));
}

// Reads a single-quoted script literal from `at` (just after its opening quote) the way the
// script engine does, for the escapes the player writes. The decoded text, and in `end` the
// position of the closing quote; nothing when the literal is malformed.
std::optional<std::u16string> ReadLiteral(const std::u16string& script, std::size_t at,
                                          std::size_t& end) {
    std::u16string text;
    for (std::size_t i = at; i < script.size(); ++i) {
        const char16_t unit = script[i];
        if (unit == u'\'') {
            end = i;
            return text;
        }
        if (unit == u'\n' || unit == u'\r')
            return std::nullopt;  // a line break ends a literal with an error
        if (unit != u'\\') {
            text.push_back(unit);
            continue;
        }
        if (++i == script.size())
            return std::nullopt;
        switch (script[i]) {
            case u'n':
                text.push_back(u'\n');
                break;
            case u'r':
                text.push_back(u'\r');
                break;
            case u'x': {
                if (i + 2 >= script.size())
                    return std::nullopt;
                const std::string hex = Utf16ToUtf8(script.substr(i + 1, 2));
                text.push_back(static_cast<char16_t>(std::stoi(hex, nullptr, 16)));
                i += 2;
                break;
            }
            default:
                text.push_back(script[i]);
        }
    }
    return std::nullopt;
}

TEST(WatermarkScript, ShowsAnyTextLiterallyInsideItsLiteral) {
    const std::u16string plain = WatermarkScript(u"");
    const std::u16string_view assignment = u"mark.textContent = '";
    const std::size_t literal = plain.find(assignment);
    ASSERT_NE(literal, std::u16string::npos);
    const std::u16string head = plain.substr(0, literal + assignment.size());
    const std::u16string tail = plain.substr(literal + assignment.size() + 1);  // after '

    const std::u16string texts[] = {
        u"learner 42 - 0100",
        u"it's \"quoted\"",
        u"back\\slash\\",
        u"\\'); alert(1); ('",
        u"</script><script>alert(1)</script>",
        u"two\nlines\r\nthree",
        u"\u2028\u2029 separators",
        u"طالب ٤٢",
        u"KESTRUM_WATERMARK_TEXT",
    };
    for (const auto& text : texts) {
        const std::u16string script = WatermarkScript(text);
        const std::string name = Utf16ToUtf8(text);
        ASSERT_TRUE(script.starts_with(head)) << name;
        std::size_t end = 0;
        const auto decoded = ReadLiteral(script, head.size(), end);
        ASSERT_TRUE(decoded.has_value()) << name;
        EXPECT_EQ(*decoded, text) << name;
        EXPECT_EQ(script.substr(end + 1), tail) << name;  // the literal ends where it should
        EXPECT_EQ(script.find(u"</"), plain.find(u"</")) << name;
        EXPECT_EQ(script.substr(head.size(), end - head.size()), EscapeJsString(text)) << name;
    }
}

TEST(PageScriptWrapper, RunsThePageScriptOnceTheDomIsReady) {
    EXPECT_EQ(PageScriptWrapper(u"doIt();"),
              u"(function(){function run(){doIt();}if(document.readyState==='loading'){"
              u"document.addEventListener('DOMContentLoaded',run);}else{run();}})();");
}

TEST(BridgeDeliveryScript, HandsTheJsonOverAsAnEscapedLiteral) {
    EXPECT_EQ(BridgeDeliveryScript(u"{\"type\":\"printResult\",\"status\":\"a'</script>\"}"),
              u"window.chrome&&window.chrome.webview&&window.chrome.webview._kestrumDeliver&&"
              u"window.chrome.webview._kestrumDeliver('{\\\"type\\\":\\\"printResult\\\","
              u"\\\"status\\\":\\\"a\\'\\x3C/script\\x3E\\\"}');");
}

TEST(DocumentScripts, FollowTheWindowAndTheContentKind) {
    AppContext context;
    context.watermarkText = u"learner";
    context.pageScript = u"doIt();";
    const std::u16string loader = LoaderScript();
    const std::u16string routing = PrintRoutingScript();
    struct Case {
        std::u16string kind;
        std::u16string pageScript;
        std::vector<std::u16string> scripts;
    };
    const Case cases[] = {
        {u"url_direct", u"doIt();", {loader, routing, PageScriptWrapper(u"doIt();")}},
        {u"url_direct", u"", {loader, routing}},
        {u"pdf", u"doIt();", {loader, routing, WatermarkScript(u"learner"), PrintButtonScript()}},
        {u"pdf_url", u"", {loader, routing, WatermarkScript(u"learner"), PrintButtonScript()}},
        {u"PDF", u"", {loader, routing}},  // kinds are exact
        {u"video", u"doIt();", {loader, routing}},
        {u"", u"", {loader, routing}},
    };
    for (const auto& c : cases) {
        context.contentKind = c.kind;
        context.pageScript = c.pageScript;
        EXPECT_EQ(MainWindowDocumentScripts(context), c.scripts) << Utf16ToUtf8(c.kind);
    }
    EXPECT_EQ(StartWindowDocumentScripts(),
              (std::vector<std::u16string>{routing, NavToolbarScript()}));
}

}  // namespace
}  // namespace kestrum
