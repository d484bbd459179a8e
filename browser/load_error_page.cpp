#include "browser/load_error_page.h"

#include "common/html_escape.h"

namespace kestrum {

std::u16string LoadErrorPage(std::u16string_view address, std::u16string_view reason) {
    const std::u16string where = HtmlEscape(address);
    const std::u16string why = HtmlEscape(reason);
    return u"<!DOCTYPE html><html><head><meta charset=\"utf-8\">"
           u"<title>The page could not be loaded</title><style>"
           u"html,body{margin:0;height:100%;background:#1a1a2e;color:#eeeeee;"
           u"font-family:sans-serif;}"
           u"main{box-sizing:border-box;max-width:760px;margin:0 auto;padding:72px 32px;}"
           u"h1{color:#ffffff;font-size:28px;margin:0 0 12px;}"
           u"p{font-size:17px;line-height:1.6;margin:8px 0;}"
           u".ar{direction:rtl;text-align:right;}"
           u".box{background:#0f3460;color:#ffffff;border-radius:6px;padding:10px 14px;"
           u"margin:16px 0;font-family:monospace;font-size:15px;overflow-wrap:anywhere;}"
           u"</style></head><body><main>"
           u"<h1>The page could not be loaded</h1>"
           u"<p>Please check your internet connection and try again.</p>"
           u"<div class=\"box\" id=\"kestrum-error-reason\">" +
           why +
           u"</div>"
           u"<div class=\"box\" id=\"kestrum-error-address\" dir=\"ltr\">" +
           where +
           u"</div>"
           u"<h1 class=\"ar\">تعذر تحميل الصفحة</h1>"
           u"<p class=\"ar\">يرجى التحقق من اتصالك بالإنترنت والمحاولة مرة أخرى.</p>"
           u"</main></body></html>";
}

}  // namespace kestrum
