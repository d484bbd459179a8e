#include <gtest/gtest.h>

#include "link/embed_page.h"

namespace kestrum {
namespace {

TEST(BuildEmbedPage, WritesTheFramedPageWithItsWatermark) {
    const std::u16string page = BuildEmbedPage(u"https://h5p.test/1", u"learner 42", u"Kestrum");
    EXPECT_EQ(page,
              u"<!DOCTYPE html><html><head><meta charset='utf-8'><title>Kestrum</title><style>"
              u"*{margin:0;padding:0;}html,body{width:100%;height:100%;overflow:hidden;}"
              u"iframe{width:100%;height:100%;border:none;}</style></head><body>"
              u"<iframe src='https://h5p.test/1' allowfullscreen "
              u"allow='accelerometer;autoplay;clipboard-write;encrypted-media;gyroscope;"
              u"picture-in-picture'></iframe>"
              u"<div style='position:fixed;top:0;left:0;width:100%;height:100%;pointer-events:none;"
              u"z-index:9999;opacity:0.15;display:flex;align-items:center;justify-content:center;"
              u"font-size:3vw;color:red;transform:rotate(-30deg);font-family:Arial,sans-serif;"
              u"font-weight:bold;'>learner 42</div>"
              u"<script>window.chrome.webview.postMessage('pageLoaded');</script></body></html>");
}

TEST(BuildEmbedPage, AHostileWatermarkStaysText) {
    struct Case {
        std::u16string watermark;
        std::u16string written;
    };
    const Case cases[] = {
        {u"<>\"&'", u"&lt;&gt;&quot;&amp;&#39;"},
        {u"</div><script>alert(1)</script>", u"&lt;/div&gt;&lt;script&gt;alert(1)&lt;/script&gt;"},
        {u"' onmouseover='x", u"&#39; onmouseover=&#39;x"},
        {u"", u""},
    };
    for (const auto& c : cases) {
        const std::u16string page = BuildEmbedPage(u"https://a.test", c.watermark, u"T");
        EXPECT_NE(page.find(u"font-weight:bold;'>" + c.written + u"</div><script>"),
                  std::u16string::npos);
        // Exactly one script element: the page's own.
        EXPECT_EQ(page.find(u"<script>"), page.rfind(u"<script>"));
    }
}

TEST(BuildEmbedPage, AddressAndTitleCannotAddMarkup) {
    const std::u16string page = BuildEmbedPage(u"https://a.test/x' onload='alert(1)&b=<c>", u"",
                                               u"</title><script>x()</script>");
    EXPECT_NE(page.find(u"<iframe src='https://a.test/x&#39; onload=&#39;alert(1)&amp;b=&lt;c&gt;'"
                        u" allowfullscreen "),
              std::u16string::npos);
    EXPECT_NE(page.find(u"<title>&lt;/title&gt;&lt;script&gt;x()&lt;/script&gt;</title>"),
              std::u16string::npos);
    EXPECT_EQ(page.find(u"onload='"), std::u16string::npos);
    EXPECT_EQ(page.find(u"<script>"), page.rfind(u"<script>"));
}

}  // namespace
}  // namespace kestrum
