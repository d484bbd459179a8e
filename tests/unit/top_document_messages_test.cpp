#include <gtest/gtest.h>

#include "browser/load_error_page.h"
#include "browser/top_document_messages.h"
#include "common/text_encoding.h"

namespace kestrum {
namespace {

TEST(TopDocumentMessages, OnlyMessagesCarryingTheKeyAreAnswered) {
    const std::u16string key = u"0123456789abcdef0123456789abcdef";
    struct Case {
        std::u16string posted;
        std::optional<std::u16string> message;
    };
    const Case cases[] = {
        {key + u":requestPrint", u"requestPrint"},
        {key + u":{\"a\":\"requestPrint\"}", u"{\"a\":\"requestPrint\"}"},
        {key + u":", u""},
        {key + u"::x", u":x"},
        // A frame posts to the handler directly, without the key, or with a guessed one.
        {u"requestPrint", std::nullopt},
        {u"toggleFullscreen", std::nullopt},
        {u"\"requestPrint\"", std::nullopt},
        {u"0123456789abcdef0123456789abcdee:requestPrint", std::nullopt},
        {key + u"requestPrint", std::nullopt},
        {key.substr(1) + u":requestPrint", std::nullopt},
        {u":requestPrint", std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(TopDocumentMessage(c.posted, key), c.message) << Utf16ToUtf8(c.posted);
    EXPECT_EQ(TopDocumentMessage(u":requestPrint", u""), std::nullopt)
        << "without a key nothing is answered";
}

TEST(TopDocumentMessages, TheBridgeCarriesTheKeyOutsideEveryFunctionAPageCanPrint) {
    const std::u16string key = u"feedfacecafebeef0011223344556677";
    const std::u16string script = TopDocumentBridgeScript(key);
    const std::size_t at = script.find(u"'" + key + u"'");
    ASSERT_NE(at, std::u16string::npos);
    EXPECT_EQ(script.find(key, at + 2), std::u16string::npos) << "once";
    EXPECT_EQ(script.find(u"KESTRUM_BRIDGE_KEY"), std::u16string::npos);
    // The key is read before window.chrome.webview (whose methods print their own source)
    // is built, as a constant of the enclosing function.
    EXPECT_LT(at, script.find(u"const webview = {"));
    EXPECT_NE(script.find(u"send(key + ':' +"), std::u16string::npos);
    EXPECT_NE(script.find(u"window.top !== window"), std::u16string::npos);
    EXPECT_NE(TopDocumentBridgeScript(u"a"), TopDocumentBridgeScript(u"b"));
}

TEST(LoadErrorPage, ShowsTheReasonAndTheAddressEscapedInBothLanguages) {
    const std::u16string page =
        LoadErrorPage(u"https://host.example/<script>alert(1)</script>?a=1&b=\"2\"",
                      u"Could not connect: <Connection refused>");
    EXPECT_NE(page.find(u"The page could not be loaded"), std::u16string::npos);
    EXPECT_NE(page.find(u"تعذر تحميل الصفحة"), std::u16string::npos);
    EXPECT_NE(
        page.find(
            u"https://host.example/&lt;script&gt;alert(1)&lt;/script&gt;?a=1&amp;b=&quot;2&quot;"),
        std::u16string::npos);
    EXPECT_NE(page.find(u"Could not connect: &lt;Connection refused&gt;"), std::u16string::npos);
    EXPECT_EQ(page.find(u"<script"), std::u16string::npos);
    EXPECT_EQ(page.find(u"<Connection"), std::u16string::npos);
    // Light text on a dark background, as the browser's own background is dark.
    EXPECT_NE(page.find(u"background:#1a1a2e;color:#eeeeee"), std::u16string::npos);
}

}  // namespace
}  // namespace kestrum
