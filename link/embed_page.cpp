#include "link/embed_page.h"

#include "common/html_escape.h"

namespace kestrum {
namespace {

constexpr std::u16string_view kWatermarkStyle =
    u"position:fixed;top:0;left:0;width:100%;height:100%;pointer-events:none;z-index:9999;"
    u"opacity:0.15;display:flex;align-items:center;justify-content:center;font-size:3vw;"
    u"color:red;transform:rotate(-30deg);font-family:Arial,sans-serif;font-weight:bold;";

}  // namespace

std::u16string BuildEmbedPage(std::u16string_view contentUrl, std::u16string_view watermarkText,
                              std::u16string_view title) {
    std::u16string page;
    page += u"<!DOCTYPE html><html><head>";
    page += u"<meta charset='utf-8'>";
    page += u"<title>";
    page += HtmlEscape(title);
    page += u"</title>";
    page += u"<style>";
    page += u"*{margin:0;padding:0;}";
    page += u"html,body{width:100%;height:100%;overflow:hidden;}";
    page += u"iframe{width:100%;height:100%;border:none;}";
    page += u"</style></head><body>";
    page += u"<iframe src='";
    // Escaped like every other value: an apostrophe in the address must not end the
    // attribute (the browser turns the entities back into the address).
    page += HtmlEscape(contentUrl);
    page += u"' allowfullscreen ";
    page +=
        u"allow='accelerometer;autoplay;clipboard-write;encrypted-media;gyroscope;"
        u"picture-in-picture'>";
    page += u"</iframe>";
    page += u"<div style='";
    page += kWatermarkStyle;
    page += u"'>";
    page += HtmlEscape(watermarkText);
    page += u"</div>";
    page += u"<script>";
    page += u"window.chrome.webview.postMessage('pageLoaded');";
    page += u"</script></body></html>";
    return page;
}

}  // namespace kestrum
