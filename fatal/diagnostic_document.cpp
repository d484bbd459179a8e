#include "fatal/diagnostic_document.h"

#include "common/html_escape.h"
#include "common/text_encoding.h"

namespace kestrum {

std::u16string BuildDiagnosticDocument(std::u16string_view title, std::u16string_view englishText,
                                       std::u16string_view arabicText, std::string_view code) {
    const std::u16string safeTitle = HtmlEscape(title);
    std::u16string page;
    page.reserve(3000 + 2 * title.size() + englishText.size() + arabicText.size() + code.size());
    page += u"<html><head><title>";
    page += safeTitle;
    page += u"</title>";
    page += u"<hta:application id='diag' border='dialog' innerborder='no' scroll='no' ";
    page += u"maximizebutton='no' minimizebutton='no' sysmenu='yes' ";
    page += u"windowstate='normal' />";
    page += u"<style>";
    page += u"body{font-family:Segoe UI,Tahoma,sans-serif;background:#1a1a2e;color:#eee;";
    page += u"margin:0;padding:20px;display:flex;flex-direction:column;align-items:center;}";
    page += u".icon{font-size:48px;margin-bottom:10px;}";
    page += u"h2{color:#e94560;margin:5px 0 10px;font-size:18px;}";
    page += u"p{text-align:center;font-size:13px;line-height:1.5;margin:5px 0;color:#ccc;}";
    page += u".ar{direction:rtl;font-family:Segoe UI,Tahoma,sans-serif;}";
    page +=
        u"textarea{width:90%;height:60px;margin:10px 0;padding:8px;font-family:Consolas,monospace;";
    page += u"font-size:11px;background:#0f3460;color:#e94560;border:1px solid #e94560;";
    page += u"border-radius:4px;resize:none;text-align:center;}";
    page += u".btn{padding:8px 24px;background:#e94560;color:#fff;border:none;border-radius:4px;";
    page += u"font-size:13px;cursor:pointer;margin:5px;}";
    page += u".btn:hover{background:#c73e54;}";
    page += u".info{font-size:11px;color:#888;margin-top:8px;}";
    page += u"</style></head><body>";
    page += u"<div class='icon'>&#9888;</div>";
    page += u"<h2>";
    page += safeTitle;
    page += u"</h2>";
    page += u"<p>";
    page += HtmlEscape(englishText);
    page += u"</p>";
    page += u"<p class='ar'>";
    page += HtmlEscape(arabicText);
    page += u"</p>";
    page += u"<p style='margin-top:15px;color:#e94560;font-size:12px;'>";
    page += u"&#128274; Diagnostic Code / ";
    page += u"كود التشخيص";
    page += u"</p>";
    page += u"<textarea id='dc' readonly onclick='this.select()'>";
    page += HtmlEscape(WidenBytes(code));
    page += u"</textarea>";
    page += u"<div>";
    page += u"<button class='btn' onclick='copyCode()'>&#128203; Copy Code</button>";
    page += u"<button class='btn' style='background:#555;' onclick='window.close()'>Close</button>";
    page += u"</div>";
    page += u"<p class='info'>The code has been copied to your clipboard automatically.</p>";
    page += u"<p class='info'>Please send this code to support for assistance.</p>";
    page += u"<p class='info ar'>";
    page += u"تم نسخ الكود تلقائياً. يرجى إرساله للدعم الفني.";
    page += u"</p>";
    page += u"<script>";
    page += u"function copyCode(){var t=document.getElementById('dc');";
    page += u"t.select();document.execCommand('copy');}";
    page += u"window.resizeTo(700,580);window.moveTo(";
    page += u"(screen.width-700)/2,(screen.height-580)/2);";
    page += u"</script></body></html>";
    return page;
}

std::u16string BuildDiagnosticCommandLine(std::u16string_view title,
                                          std::u16string_view englishText,
                                          std::u16string_view arabicText, std::string_view code) {
    return u"mshta \"about:" + BuildDiagnosticDocument(title, englishText, arabicText, code) +
           u"\"";
}

}  // namespace kestrum
