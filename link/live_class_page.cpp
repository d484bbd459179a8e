#include "link/live_class_page.h"

#include "common/html_escape.h"

namespace kestrum {
namespace {

bool StartsWithHttps(std::u16string_view address) {
    constexpr std::u16string_view scheme = u"https://";
    if (address.size() <= scheme.size())
        return false;
    for (size_t i = 0; i < scheme.size(); ++i) {
        char16_t c = address[i];
        if (c >= u'A' && c <= u'Z')
            c = static_cast<char16_t>(c - u'A' + u'a');
        if (c != scheme[i])
            return false;
    }
    return true;
}

// Readable on its own: light text on the player's dark background.
constexpr std::u16string_view kStyle =
    u"html,body{margin:0;height:100%;background:#121212;color:#f2f2f2;"
    u"font-family:'DejaVu Sans',Arial,sans-serif}"
    u"main{max-width:760px;margin:0 auto;padding:64px 32px;text-align:center}"
    u"h1{font-size:28px;margin:0 0 24px}p{font-size:18px;line-height:1.6;margin:12px 0}"
    u"[lang=ar]{direction:rtl}"
    u"code{display:block;margin:24px 0;padding:12px;background:#262626;color:#ffffff;"
    u"font-size:15px;word-break:break-all;user-select:text;-webkit-user-select:text}"
    u"button{margin-top:16px;padding:16px 32px;font-size:20px;border:none;border-radius:8px;"
    u"background:#2d8cff;color:#ffffff;cursor:pointer}"
    u"#answer{min-height:3em}";

constexpr std::u16string_view kScript =
    u"const webview=window.chrome&&window.chrome.webview;"
    u"const button=document.getElementById('open');"
    u"const texts={opened:['The class is opening in your web browser.',"
    u"'يتم فتح الدرس في متصفح الويب.'],"
    u"failed:['No web browser could be opened. Copy the address above into your web browser.',"
    u"'تعذّر فتح متصفح الويب. انسخ العنوان أعلاه إلى متصفح الويب.']};"
    u"const show=(status)=>{const t=texts[status];if(!t)return;"
    u"document.getElementById('answer-en').textContent=t[0];"
    u"document.getElementById('answer-ar').textContent=t[1];};"
    u"if(webview){webview.addEventListener('message',(e)=>{"
    u"if(e.data&&e.data.type==='liveClassInBrowser')show(e.data.status);});"
    u"if(button)button.addEventListener('click',()=>webview.postMessage("
    u"'openLiveClassInBrowser'));webview.postMessage('pageLoaded');}";

}  // namespace

std::u16string LiveClassBrowserAddress(std::u16string_view meetingUrl) {
    if (!StartsWithHttps(meetingUrl))
        return {};
    for (const char16_t c : meetingUrl) {
        if (c <= u' ' || c == 0x7f)
            return {};
    }
    return std::u16string(meetingUrl);
}

std::u16string BuildLiveClassPage(std::u16string_view meetingUrl, std::u16string_view title) {
    const bool canOpen = !LiveClassBrowserAddress(meetingUrl).empty();
    std::u16string page;
    page += u"<!DOCTYPE html><html><head><meta charset='utf-8'><title>";
    page += HtmlEscape(title);
    page += u"</title><style>";
    page += kStyle;
    page += u"</style></head><body><main>";
    page += u"<h1>Live class - درس مباشر</h1>";
    page +=
        u"<p lang='en'>This live class cannot be joined inside the player: the web engine on "
        u"this computer has no support for live video calls (WebRTC).</p>";
    page +=
        u"<p lang='ar'>لا يمكن الانضمام إلى هذا الدرس المباشر داخل المشغل: محرك الويب على هذا "
        u"الجهاز لا يدعم مكالمات الفيديو المباشرة (WebRTC).</p>";
    if (canOpen) {
        page += u"<p lang='en'>Open it in your web browser to join the class.</p>";
        page += u"<p lang='ar'>افتحه في متصفح الويب للانضمام إلى الدرس.</p>";
    }
    page += u"<code>";
    page += HtmlEscape(meetingUrl);
    page += u"</code>";
    if (canOpen) {
        page +=
            u"<button id='open' type='button'>Open in my web browser - "
            u"افتح في متصفح الويب</button>";
    }
    page +=
        u"<div id='answer'><p lang='en' id='answer-en'></p><p lang='ar' id='answer-ar'></p>"
        u"</div>";
    page += u"</main><script>";
    page += kScript;
    page += u"</script></body></html>";
    return page;
}

std::u16string LiveClassAnswer(bool opened) {
    return u"{\"type\":\"" + std::u16string(kLiveClassAnswerType) + u"\",\"status\":\"" +
           (opened ? u"opened" : u"failed") + u"\"}";
}

}  // namespace kestrum
