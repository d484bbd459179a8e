// The text helpers every parser stands on: UTF-8/UTF-16 conversion, Base64, percent-coding,
// splitting, case and escaping; with the round trips each must keep.
#include <string>
#include <string_view>
#include <vector>

#include "browser/escape_js_string.h"
#include "common/base64.h"
#include "common/html_escape.h"
#include "common/split_text.h"
#include "common/text_case.h"
#include "common/text_encoding.h"
#include "common/url_codec.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

using namespace kestrum;

void CheckConversions(std::string_view bytes, const std::u16string& units) {
    // Conversion output is well formed, so it survives a second round unchanged.
    const std::u16string fromUtf8 = Utf8ToUtf16(bytes);
    FUZZ_CHECK(Utf8ToUtf16(Utf16ToUtf8(fromUtf8)) == fromUtf8);
    const std::string fromUtf16 = Utf16ToUtf8(units);
    FUZZ_CHECK(Utf16ToUtf8(Utf8ToUtf16(fromUtf16)) == fromUtf16);
    FUZZ_CHECK(WidenBytes(bytes).size() == bytes.size());
}

void CheckBase64(std::string_view bytes) {
    const std::string encoded = Base64Encode(bytes);
    FUZZ_CHECK(encoded.size() == (bytes.size() + 2) / 3 * 4);
    FUZZ_CHECK(Base64Decode(encoded) == bytes);
    FUZZ_CHECK(Base64Decode(bytes).size() <= bytes.size());
}

void CheckPercentCoding(const std::u16string& text, const std::u16string& units) {
    const std::u16string encoded = UrlEncode(text);
    for (char16_t unit : encoded) {
        const bool plain = (unit >= u'a' && unit <= u'z') || (unit >= u'A' && unit <= u'Z') ||
                           (unit >= u'0' && unit <= u'9') || unit == u'-' || unit == u'.' ||
                           unit == u'_' || unit == u'~' || unit == u'%';
        FUZZ_CHECK(plain);
    }
    FUZZ_CHECK(UrlDecode(encoded) == text);
    UrlDecode(units);
}

void CheckSplit(const std::u16string& text) {
    const std::vector<std::u16string> pieces = SplitText(text, u':');
    if (text.empty()) {
        FUZZ_CHECK(pieces.empty());
        return;
    }
    // Joined again they give the text back, less one delimiter at the very end.
    std::u16string joined;
    for (std::size_t i = 0; i < pieces.size(); ++i)
        joined += (i ? u":" : u"") + pieces[i];
    if (text.back() == u':')
        joined += u":";
    FUZZ_CHECK(joined == text);
}

void CheckCaseAndEscaping(const std::u16string& text) {
    FUZZ_CHECK(ToLowerCopy(text).size() == text.size());
    FUZZ_CHECK(ToLowerAscii(text).size() == text.size());
    for (char16_t unit : HtmlEscape(text))
        FUZZ_CHECK(unit != u'<' && unit != u'>' && unit != u'"' && unit != u'\'');
    for (char16_t unit : EscapeJsString(text))
        FUZZ_CHECK(unit != u'<' && unit != u'>' && unit != u'\n' && unit != u'\r');
    std::u16string trimmed = text;
    TrimTrailingSlashes(trimmed);
    FUZZ_CHECK(trimmed.empty() || (trimmed.back() != u'/' && trimmed.back() != u'\\'));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::u16string text = Utf8ToUtf16(bytes);
    const std::u16string units = fuzz::Utf16Units(bytes);
    CheckConversions(bytes, units);
    CheckBase64(bytes);
    CheckPercentCoding(text, units);
    CheckSplit(text);
    CheckSplit(units);
    CheckCaseAndEscaping(units);
    return 0;
}
