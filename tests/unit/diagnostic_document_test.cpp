#include <gtest/gtest.h>

#include "common/text_encoding.h"
#include "fatal/diagnostic_document.h"

namespace kestrum {
namespace {

// The whole page for a link error, written out as support sees it in the dialog.
const char* const kLinkErrorPage =
    "<html><head><title>Link Error - خطأ في الرابط</title>"
    "<hta:application id='diag' border='dialog' innerborder='no' scroll='no' "
    "maximizebutton='no' minimizebutton='no' sysmenu='yes' windowstate='normal' />"
    "<style>body{font-family:Segoe UI,Tahoma,sans-serif;background:#1a1a2e;color:#eee;"
    "margin:0;padding:20px;display:flex;flex-direction:column;align-items:center;}"
    ".icon{font-size:48px;margin-bottom:10px;}"
    "h2{color:#e94560;margin:5px 0 10px;font-size:18px;}"
    "p{text-align:center;font-size:13px;line-height:1.5;margin:5px 0;color:#ccc;}"
    ".ar{direction:rtl;font-family:Segoe UI,Tahoma,sans-serif;}"
    "textarea{width:90%;height:60px;margin:10px 0;padding:8px;font-family:Consolas,monospace;"
    "font-size:11px;background:#0f3460;color:#e94560;border:1px solid #e94560;"
    "border-radius:4px;resize:none;text-align:center;}"
    ".btn{padding:8px 24px;background:#e94560;color:#fff;border:none;border-radius:4px;"
    "font-size:13px;cursor:pointer;margin:5px;}.btn:hover{background:#c73e54;}"
    ".info{font-size:11px;color:#888;margin-top:8px;}</style></head><body>"
    "<div class='icon'>&#9888;</div><h2>Link Error - خطأ في الرابط</h2>"
    "<p>Failed to process the content link.\nIf the problem persists, send the diagnostic code "
    "below to support.</p>"
    "<p class='ar'>فشل في معالجة رابط المحتوى.\nإذا استمرت المشكلة، يرجى إرسال الكود التشخيصي "
    "أدناه للدعم الفني.</p>"
    "<p style='margin-top:15px;color:#e94560;font-size:12px;'>&#128274; Diagnostic Code / "
    "كود التشخيص</p>"
    "<textarea id='dc' readonly onclick='this.select()'>AAEC+/8=</textarea><div>"
    "<button class='btn' onclick='copyCode()'>&#128203; Copy Code</button>"
    "<button class='btn' style='background:#555;' onclick='window.close()'>Close</button></div>"
    "<p class='info'>The code has been copied to your clipboard automatically.</p>"
    "<p class='info'>Please send this code to support for assistance.</p>"
    "<p class='info ar'>تم نسخ الكود تلقائياً. يرجى إرساله للدعم الفني.</p>"
    "<script>function copyCode(){var t=document.getElementById('dc');"
    "t.select();document.execCommand('copy');}"
    "window.resizeTo(700,580);window.moveTo((screen.width-700)/2,(screen.height-580)/2);"
    "</script></body></html>";

const std::u16string kTitle = u"Link Error - خطأ في الرابط";
const std::u16string kEnglish =
    u"Failed to process the content link.\nIf the problem persists, send the diagnostic code "
    u"below to support.";
const std::u16string kArabic =
    u"فشل في معالجة رابط المحتوى.\nإذا استمرت المشكلة، يرجى إرسال الكود التشخيصي أدناه للدعم "
    u"الفني.";

TEST(DiagnosticDocument, IsTheDialogPageForALinkError) {
    EXPECT_EQ(Utf16ToUtf8(BuildDiagnosticDocument(kTitle, kEnglish, kArabic, "AAEC+/8=")),
              kLinkErrorPage);
}

TEST(DiagnosticDocument, CommandLineQuotesTheAboutDocument) {
    const std::u16string document = BuildDiagnosticDocument(kTitle, kEnglish, kArabic, "AAEC");
    EXPECT_EQ(BuildDiagnosticCommandLine(kTitle, kEnglish, kArabic, "AAEC"),
              u"mshta \"about:" + document + u"\"");
}

// Title, texts and code come from hosts and servers; none of them may add markup, script or
// end the quoted command line.
TEST(DiagnosticDocument, EscapesEveryInsertedText) {
    const std::u16string hostile = u"</title><script>alert(\"x\")</script>&'";
    const std::u16string escaped =
        u"&lt;/title&gt;&lt;script&gt;alert(&quot;x&quot;)&lt;/script&gt;&amp;&#39;";
    struct Case {
        const char* name;
        std::u16string title, english, arabic;
        std::string code;
        std::u16string expectedFragment;
    };
    const Case cases[] = {
        {"title in <title>", hostile, u"e", u"a", "c", u"<title>" + escaped + u"</title>"},
        {"title in <h2>", hostile, u"e", u"a", "c", u"<h2>" + escaped + u"</h2>"},
        {"English text", u"t", hostile, u"a", "c", u"<p>" + escaped + u"</p>"},
        {"Arabic text", u"t", u"e", hostile, "c", u"<p class='ar'>" + escaped + u"</p>"},
        {"code (SSL_ and a host name)", u"t", u"e", u"a",
         "SSL_</textarea><img src=x onerror=alert(1)>",
         u"readonly onclick='this.select()'>SSL_&lt;/textarea&gt;&lt;img src=x "
         u"onerror=alert(1)&gt;</textarea>"},
    };
    for (const Case& c : cases) {
        const std::u16string page = BuildDiagnosticDocument(c.title, c.english, c.arabic, c.code);
        EXPECT_NE(page.find(c.expectedFragment), std::u16string::npos) << c.name;
        // The page's own markup is all there is: one script, one textarea, one title.
        EXPECT_EQ(page.find(u"<script>"), page.rfind(u"<script>")) << c.name;
        EXPECT_EQ(page.find(u"<img"), std::u16string::npos) << c.name;
        EXPECT_EQ(page.find(u"</textarea>"), page.rfind(u"</textarea>")) << c.name;
        EXPECT_EQ(page.find(u"</title>"), page.rfind(u"</title>")) << c.name;
        const std::u16string commandLine =
            BuildDiagnosticCommandLine(c.title, c.english, c.arabic, c.code);
        EXPECT_EQ(commandLine.find(u'"', 14), commandLine.size() - 1) << c.name;
    }
}

TEST(DiagnosticDocument, KeepsAVeryLongCodeWhole) {
    const std::string code(5000, 'Q');
    const std::u16string page = BuildDiagnosticDocument(u"t", u"e", u"a", code);
    EXPECT_NE(page.find(u">" + std::u16string(5000, u'Q') + u"</textarea>"), std::u16string::npos);
}

}  // namespace
}  // namespace kestrum
