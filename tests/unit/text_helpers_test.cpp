#include <gtest/gtest.h>

#include "browser/escape_js_string.h"
#include "common/base64.h"
#include "common/html_escape.h"
#include "common/split_text.h"
#include "common/text_encoding.h"
#include "common/url_codec.h"
#include "service/base_url.h"

namespace kestrum {
namespace {

TEST(TextEncoding, RoundTripsEveryPlaneAndKeepsEmptyEmpty) {
    const std::string text = "A \xD8\xB9\xD8\xB1\xD8\xA8\xD9\x8A \xE2\x80\x94 \xF0\x9F\x94\x92";
    const std::u16string wide = Utf8ToUtf16(text);
    EXPECT_EQ(wide, u"A \u0639\u0631\u0628\u064A \u2014 \U0001F512");
    EXPECT_EQ(Utf16ToUtf8(wide), text);
    EXPECT_EQ(Utf8ToUtf16(""), u"");
    EXPECT_EQ(Utf16ToUtf8(u""), "");
}

TEST(TextEncoding, IllFormedInputBecomesReplacementCharacters) {
    struct Case {
        std::string in;
        std::u16string out;
    };
    const Case cases[] = {
        {"a\xFF"
         "b",
         u"a\uFFFDb"},              // byte that never starts a sequence
        {"a\xE2\x80", u"a\uFFFD"},  // sequence cut at the end
        {"\xC0\xAF"
         "x",
         u"\uFFFDx"},                 // overlong form of "/"
        {"\xED\xA0\x80", u"\uFFFD"},  // encoded surrogate
        {"\xE2\x80"
         "A",
         u"\uFFFDA"},  // sequence broken by an ASCII byte
    };
    for (const auto& c : cases)
        EXPECT_EQ(Utf8ToUtf16(c.in), c.out) << c.in;
    EXPECT_EQ(Utf16ToUtf8(std::u16string(1, char16_t(0xD800))), "\xEF\xBF\xBD");
}

TEST(Base64, EncodesWithPaddingAndDecodesLeniently) {
    EXPECT_EQ(Base64Encode(""), "");
    EXPECT_EQ(Base64Encode("f"), "Zg==");
    EXPECT_EQ(Base64Encode("fo"), "Zm8=");
    EXPECT_EQ(Base64Encode("foo"), "Zm9v");
    EXPECT_EQ(Base64Encode("\xFB\xFF"), "+/8=");

    struct Case {
        const char* in;
        std::string out;
    };
    const Case cases[] = {
        {"", ""},
        {"Zm9v", "foo"},
        {"Zm9vYg==", "foob"},
        {"Zm9vYmE=", "fooba"},
        {"Zm9vYg", "foob"},     // padding may be missing
        {"Zm9vY", "foo"},       // a single leftover character yields nothing
        {"Zm9v\nYmFy", "foo"},  // stops at the first foreign character
        {"Zm9v\"", "foo"},
        {"Zm=9v", "f"},  // stops at the first "="
        {"+/8=", "\xFB\xFF"},
        {"-_8", ""},  // URL-safe alphabet is foreign
    };
    for (const auto& c : cases)
        EXPECT_EQ(Base64Decode(c.in), c.out) << c.in;
}

TEST(UrlDecode, ReadsHexLikeStreamExtraction) {
    struct Case {
        std::u16string in;
        std::u16string out;
    };
    const Case cases[] = {
        {u"%41", u"A"},
        {u"a%2Bb", u"a+b"},
        {u"a+b", u"a+b"},  // "+" is not a blank
        {u"%20", u" "},
        {u"%4", u"%4"},  // too close to the end
        {u"x%41", u"xA"},
        {u"%41%", u"A%"},
        {u"%zz", u"%zz"},
        {u"%4z!", u"\x04!"},  // reading stops at the first non-hex character
        {u"% 41",
         u"\x04"
         u"1"},                  // a leading blank is skipped
        {u"%-1x", u"\uFFFDx"},   // a sign is accepted; byte 0xFF is no UTF-8
        {u"%D8%B9", u"\u0639"},  // bytes decode as UTF-8
        {u"", u""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(UrlDecode(c.in), c.out);
}

TEST(UrlEncode, KeepsUnreservedAndEncodesTheRestLowerCase) {
    EXPECT_EQ(UrlEncode(u"https://a-b.c_d~e/f"), u"https%3a%2f%2fa-b.c_d~e%2ff");
    EXPECT_EQ(UrlEncode(u"\u0639 "), u"%d8%b9%20");
    EXPECT_EQ(UrlEncode(u""), u"");
}

TEST(SplitText, BehavesLikeRepeatedGetline) {
    struct Case {
        std::u16string in;
        std::vector<std::u16string> out;
    };
    const Case cases[] = {
        {u"", {}},
        {u"a", {u"a"}},
        {u"a:b:c", {u"a", u"b", u"c"}},
        {u"a::c", {u"a", u"", u"c"}},
        {u":a", {u"", u"a"}},
        {u"a:b:", {u"a", u"b"}},
        {u":", {u""}},
        {u"::", {u"", u""}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SplitText(c.in, u':'), c.out);
}

TEST(Escaping, HtmlAndScriptEscapersCoverTheirCharacters) {
    EXPECT_EQ(HtmlEscape(u"<>\"&'"), u"&lt;&gt;&quot;&amp;&#39;");
    EXPECT_EQ(HtmlEscape(u"plain \u0639"), u"plain \u0639");
    EXPECT_EQ(EscapeJsString(u"a\nb\rc\"d'e<f>g\\h"), u"a\\nb\\rc\\\"d\\'e\\x3Cf\\x3Eg\\\\h");
    EXPECT_EQ(EscapeJsString(u"</script><script>alert(1)</script>"),
              u"\\x3C/script\\x3E\\x3Cscript\\x3Ealert(1)\\x3C/script\\x3E");
}

TEST(NormalizeBaseUrl, TrimsSlashesAndAddsHttpsWhenNoSchemeIsNamed) {
    struct Case {
        std::u16string in;
        std::u16string out;
    };
    const Case cases[] = {
        {u"", u""},
        {u"/\\/", u""},
        {u"https://host/", u"https://host"},
        {u"http://host\\", u"http://host"},
        {u"host.example/", u"https://host.example"},
        {u"localhost:8443", u"https://localhost:8443"},
        {u"a", u"https://a"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(NormalizeBaseUrl(c.in), c.out);
}

}  // namespace
}  // namespace kestrum
