#include "tools/kestrum_platform/documents.h"

#include <algorithm>

#include "tools/kestrum_platform/pdf_document.h"

namespace kestrum::platform {
namespace {

std::string Escape(const std::string& text) {
    std::string out;
    for (const char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            case '\'':
                out += "&#39;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

Document Html(const std::string& title, const std::string& body) {
    return {"text/html; charset=utf-8",
            "<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\"><title>" +
                Escape(title) +
                "</title><style>body{background:#fff;color:#222;font-family:sans-serif}</style>"
                "</head>\n<body>\n<h1>" +
                Escape(title) + "</h1>\n" + body + "\n</body></html>\n"};
}

std::string Link(const std::string& href, const std::string& text) {
    return "<li><a href=\"" + Escape(href) + "\">" + Escape(text) + "</a></li>\n";
}

}  // namespace

std::optional<Document> SitePage(const ServiceProfile& profile, const std::string& path,
                                 const std::vector<std::pair<std::string, std::string>>& links) {
    const std::string& start = profile.startPath;
    const std::string startBase = start.back() == '/' ? start : start + "/";
    if (path == profile.homePath) {
        return Html("Kestrum stand-in platform",
                    "<ul>\n" + Link(start, "Start site") + Link(startBase + "courses", "Courses") +
                        Link("/content/lesson-page.html", "A lesson page") + "</ul>");
    }
    if (path == start || path == startBase) {
        return Html("Welcome", "<p>Choose your school to sign in.</p>\n<ul>\n" +
                                   Link(startBase + "select-tenants", "Select your school") +
                                   Link(startBase + "login", "Sign in") +
                                   Link(startBase + "courses", "Courses") + "</ul>");
    }
    if (path == startBase + "select-tenants") {
        return Html("Select your school",
                    "<ul>\n" + Link(startBase + "login?tenant=north", "North Academy") +
                        Link(startBase + "login?tenant=south", "South Academy") + "</ul>");
    }
    if (path == startBase + "login") {
        return Html("Sign in", "<form method=\"get\" action=\"" + Escape(startBase + "courses") +
                                   "\"><input name=\"user\" placeholder=\"Learner\">"
                                   "<button type=\"submit\">Sign in</button></form>");
    }
    if (path == startBase + "courses") {
        std::string list = "<ul>\n";
        for (const auto& [summary, link] : links)
            list += Link(link, summary);
        return Html("Your courses", list + "</ul>");
    }
    if (path == "/content/lesson-page.html") {
        return Html("Lesson 1: Fractions",
                    "<p>A half is one of two equal parts.</p>\n"
                    "<button onclick=\"window.print()\">Print</button>");
    }
    if (path == "/content/probe.html") {
        // A page that tests the player from inside: what it finds in its document and what
        // the player answers, each reported as a request to /__test/report?... (see the log).
        return Html("Probe", "<p id=\"state\">probing</p>\n<script>\n" + std::string(R"JS(
const params = new URLSearchParams(location.search);
const report = (name, value) =>
    fetch('/__test/report?' + new URLSearchParams({ name, value: String(value) }));
const webview = window.chrome && window.chrome.webview;
if (webview) webview.addEventListener('message', (e) => report('message', JSON.stringify(e.data)));
window.addEventListener('DOMContentLoaded', () => {
    report('bridge', typeof (webview && webview.postMessage));
    report('loader', !!document.getElementById('molvane-full-loader'));
    report('print-routed', (() => { try { window.print = null; } catch (e) {} return window.print !== null; })());
    fetch('/content/media/hls/segment.ts').catch(() => {});
    if (params.has('pins'))
        fetch('https://' + (params.get('pins') === '1' ? '127.0.0.2' : params.get('pins')) + '/probe').then((r) => report('pinned', r.status + ' ' + r.statusText),
                                             (e) => report('pinned', 'error ' + e));
    if (params.has('print')) setTimeout(() => window.print(), 300);
    if (params.has('post')) setTimeout(() => webview.postMessage({ action: 'requestPrint' }), 300);
    if (params.has('refuse')) {
        const target = params.get('refuse');
        setTimeout(() => { location.href = target === '1' ? 'http://127.0.0.1:9/elsewhere' : target; }, 300);
        setTimeout(() => report('still-here', location.pathname + location.search), 3500);
    }
    if (params.has('frame')) {
        // A third-party embed that asks the player for what only the page may ask.
        window.addEventListener('message', (e) => report('frame', e.data));
        const frame = document.createElement('iframe');
        frame.src = 'data:text/html,' + encodeURIComponent(`<script>
const handler = window.webkit && window.webkit.messageHandlers && window.webkit.messageHandlers.kestrum;
const bridge = window.chrome && window.chrome.webview;
for (const m of ['requestPrint', '"requestPrint"', '{"a":"requestPrint"}', 'toggleFullscreen', 'btn_fullscreen']) {
    if (handler) handler.postMessage(m);
    if (bridge) bridge.postMessage(m);
}
try { window.print(); } catch (e) {}
parent.postMessage('posted handler=' + !!handler + ' bridge=' + !!bridge, '*');
<\/script>`);
        document.body.appendChild(frame);
        setTimeout(() => report('frame-size', window.innerWidth + 'x' + window.innerHeight), 3000);
    }
    if (params.has('open')) setTimeout(() => window.open('/content/opened.html', '_blank'), 300);
    if (params.has('fullscreen')) {
        const size = () => window.innerWidth + 'x' + window.innerHeight;
        setTimeout(() => webview.postMessage('toggleFullscreen'), 500);
        setTimeout(() => report('fullscreen', size()), 2500);
        setTimeout(() => webview.postMessage('"toggleFullscreen"'), 3000);
        setTimeout(() => report('framed', size()), 5000);
    }
    if (params.has('link')) setTimeout(() => {
        const a = document.createElement('a');
        a.href = '/content/opened.html?by=link'; a.target = '_blank';
        document.body.appendChild(a); a.click();
    }, 300);
});
)JS") + "</script>");
    }
    if (path == "/content/print-flood.html") {
        // A page that asks to be printed `calls` times at once, then, once every request is
        // answered, has a data: frame ask `framed` times; it reports the print results it
        // received by status as /__test/report?name=results&value=cancelled:N,success:N,...
        return Html("Print flood",
                    "<p>Printing again and again.</p>\n<script>\n" + std::string(R"JS(
const params = new URLSearchParams(location.search);
const calls = Number(params.get('calls') || 0);
const framed = Number(params.get('framed') || 0);
const report = (name, value) =>
    fetch('/__test/report?' + new URLSearchParams({ name, value: String(value) }));
const counts = { cancelled: 0, success: 0, error: 0, other: 0 };
const webview = window.chrome && window.chrome.webview;
if (webview) webview.addEventListener('message', (e) => {
    const status = e.data && e.data.type === 'printResult' ? e.data.status : 'other';
    counts[status in counts ? status : 'other'] += 1;
});
let reported = '';
setInterval(() => {
    const text = Object.entries(counts).map(([k, v]) => k + ':' + v).join(',');
    if (text !== reported) report('results', (reported = text));
}, 300);
window.addEventListener('DOMContentLoaded', () => setTimeout(() => {
    for (let i = 0; i < calls; ++i) window.print();
}, 300));
const waitForAnswers = setInterval(() => {
    if (!framed || Object.values(counts).reduce((a, b) => a + b, 0) < calls) return;
    clearInterval(waitForAnswers);
    const frame = document.createElement('iframe');
    frame.src = 'data:text/html,<script>for (let i = 0; i < ' + framed +
        '; ++i) window.print();</' + 'script>';
    document.body.appendChild(frame);
    report('framed', 'started');
}, 300);
)JS") + "</script>");
    }
    if (path == "/content/opened.html")
        return Html("Opened in the same view", "<p>This page was asked for a new window.</p>");
    if (path == "/content/interactive.html") {
        return Html("Practice: Fractions",
                    "<p id=\"question\">What is 1/2 + 1/4?</p>\n"
                    "<input id=\"answer\"><button onclick=\"document.getElementById('question')"
                    ".textContent = document.getElementById('answer').value === '3/4' ? "
                    "'Right' : 'Try again'\">Check</button>");
    }
    if (path == "/content/notes.pdf")
        return Document{"application/pdf", SamplePdf("Kestrum sample notes: fractions", 3)};
    if (std::count(profile.updateDownloadPaths.begin(), profile.updateDownloadPaths.end(), path) ||
        path == profile.runtimeInstallerPath)
        return Document{"application/octet-stream", "kestrum stand-in download placeholder\n"};
    return std::nullopt;
}

}  // namespace kestrum::platform
