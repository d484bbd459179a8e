#include "tools/kestrum_platform/hostile_answers.h"

#include <nlohmann/json.hpp>

#include "tools/kestrum_platform/reply.h"

namespace kestrum::platform {
namespace {

using std::chrono::milliseconds;

constexpr milliseconds kTrickleStep{200};

std::string Head(const std::string& statusLine,
                 const std::vector<std::pair<std::string, std::string>>& headers) {
    std::string head = statusLine + "\r\n";
    for (const auto& [name, value] : headers)
        head += name + ": " + value + "\r\n";
    return head + "\r\n";
}

bool Complete(HostileConnection& connection, int status, const std::string& reason,
              const std::string& body) {
    connection.Send(Head("HTTP/1.1 " + std::to_string(status) + " " + reason,
                         {{"Content-Type", "application/json"},
                          {"Content-Length", std::to_string(body.size())}}) +
                    body);
    return true;
}

// Keeps sending `unit` at the trickle pace: more than a byte a second, never done.
bool Trickle(HostileConnection& connection, std::string_view unit) {
    while (connection.Send(unit) && connection.Pause(kTrickleStep)) {
    }
    return false;
}

// As fast as the peer takes it, until it stops taking it.
bool Flood(HostileConnection& connection, std::string_view unit) {
    while (connection.Send(unit)) {
    }
    return false;
}

std::string VersionWithLink(const std::string& link) {
    return JsonText({{"version", 99.0}, {"is_required", 1}, {"link", link}});
}

std::string ContentWithUrl(const std::string& type, const std::string& url) {
    return JsonText({{"data", {{"type", type}, {"url", url}, {"lesson_numeric_id", 7}}},
                     {"watermark", "hostile"}});
}

// "line\n" over and over: within the player's cap for a JSON answer.
std::string ManyLines(std::size_t lines) {
    std::string text;
    text.reserve(lines * 5);
    for (std::size_t i = 0; i < lines; ++i)
        text += "line\n";
    return text;
}

struct Mode {
    const char* name;
    const char* summary;
    bool (*write)(HostileConnection&);
};

const Mode kModes[] = {
    {"trickle", "200 with a long body sent a byte every 200 ms",
     [](HostileConnection& c) {
         return c.Send(Head("HTTP/1.1 200 OK", {{"Content-Length", "1000000"}})) && Trickle(c, "x");
     }},
    {"trickle-headers", "a status line, then header bytes every 200 ms, never ending",
     [](HostileConnection& c) { return c.Send("HTTP/1.1 200 OK\r\nX-Slow: ") && Trickle(c, "a"); }},
    {"endless-headers", "header lines as fast as they are taken, never ending",
     [](HostileConnection& c) {
         return c.Send("HTTP/1.1 200 OK\r\n") &&
                Flood(c, "X-Filler: " + std::string(100, 'f') + "\r\n");
     }},
    {"endless-continue", "interim 100 Continue answers as fast as they are taken",
     [](HostileConnection& c) { return Flood(c, "HTTP/1.1 100 Continue\r\n\r\n"); }},
    // Silent for longer than any test's deadline, so that only a refusal of the length
    // itself ends the exchange earlier (and with a text of its own).
    {"huge-length", "a Content-Length of 1 TiB, a few bytes, then 10 s of silence",
     [](HostileConnection& c) {
         c.Send(Head("HTTP/1.1 200 OK", {{"Content-Length", "1099511627776"}}) + "{\"a\":");
         c.Pause(std::chrono::seconds(10));
         return false;
     }},
    {"lying-length", "a Content-Length of 1000, 10 bytes, then the connection closes",
     [](HostileConnection& c) {
         c.Send(Head("HTTP/1.1 200 OK", {{"Content-Length", "1000"}}) + "{\"a\":\"b\"}");
         return false;
     }},
    {"big-answer", "a valid 2 MiB JSON answer with its Content-Length",
     [](HostileConnection& c) {
         return Complete(c, 200, "OK",
                         JsonText({{"version", 99.0}, {"padding", std::string(2 << 20, 'p')}}));
     }},
    {"redirect", "302 to the attacker's address",
     [](HostileConnection& c) {
         c.Send(Head("HTTP/1.1 302 Found",
                     {{"Location", "https://127.0.0.2/"}, {"Content-Length", "0"}}));
         return true;
     }},
    {"broken-status", "a status line that is not HTTP's",
     [](HostileConnection& c) {
         c.Send("HTTP/1.1 two hundred OK\r\nContent-Length: 2\r\n\r\n{}");
         return false;
     }},
    {"garbage", "bytes that are no HTTP answer at all",
     [](HostileConnection& c) {
         static constexpr char kBytes[] = "\x00\xff\x13\x37 not http\r\n\r\n";
         c.Send(std::string_view(kBytes, sizeof kBytes - 1));
         return false;
     }},
    {"many-lines-message", "422 whose \"message\" has 100,000 lines",
     [](HostileConnection& c) {
         return Complete(c, 422, "Unprocessable Entity",
                         JsonText({{"message", ManyLines(100000)}}));
     }},
    {"long-message", "422 whose \"message\" is 1,000,000 characters on one line",
     [](HostileConnection& c) {
         return Complete(c, 422, "Unprocessable Entity",
                         JsonText({{"message", std::string(1000000, 'm')}}));
     }},
    {"update-javascript", "a mandatory update at javascript:alert(document.domain)//",
     [](HostileConnection& c) {
         return Complete(c, 200, "OK", VersionWithLink("javascript:alert(document.domain)//"));
     }},
    {"update-file", "a mandatory update at file:///etc/passwd",
     [](HostileConnection& c) {
         return Complete(c, 200, "OK", VersionWithLink("file:///etc/passwd"));
     }},
    {"update-smb", "a mandatory update at smb://127.0.0.2/share/evil.desktop",
     [](HostileConnection& c) {
         return Complete(c, 200, "OK", VersionWithLink("smb://127.0.0.2/share/evil.desktop"));
     }},
    {"update-option", "a mandatory update at --help",
     [](HostileConnection& c) { return Complete(c, 200, "OK", VersionWithLink("--help")); }},
    {"update-elsewhere", "a mandatory update on a host outside the platform's domain",
     [](HostileConnection& c) {
         return Complete(c, 200, "OK", VersionWithLink("https://127.0.0.2/kestrum-update"));
     }},
    {"content-javascript", "content at javascript:alert(document.domain)//",
     [](HostileConnection& c) {
         return Complete(c, 200, "OK",
                         ContentWithUrl("video", "javascript:alert(document.domain)//"));
     }},
    {"content-file", "content at file:///etc/passwd",
     [](HostileConnection& c) {
         return Complete(c, 200, "OK", ContentWithUrl("pdf", "file:///etc/passwd"));
     }},
    {"content-data", "framed content at a data: address",
     [](HostileConnection& c) {
         return Complete(c, 200, "OK",
                         ContentWithUrl("iframe", "data:text/html,<script>parent.x=1</script>"));
     }},
    {"content-apostrophe", "framed content whose address carries markup after an apostrophe",
     [](HostileConnection& c) {
         return Complete(
             c, 200, "OK",
             ContentWithUrl("iframe", "https://localhost/x'></iframe><script>alert(1)</script>"));
     }},
    {"content-null", "a content answer that is JSON null",
     [](HostileConnection& c) { return Complete(c, 200, "OK", "null"); }},
    {"content-empty", "a content answer with an empty body",
     [](HostileConnection& c) { return Complete(c, 200, "OK", ""); }},
    {"content-data-null", "a content answer whose data member is null",
     [](HostileConnection& c) { return Complete(c, 200, "OK", R"({"data":null})"); }},
};

}  // namespace

std::vector<std::pair<std::string, std::string>> HostileModes() {
    std::vector<std::pair<std::string, std::string>> modes;
    for (const Mode& mode : kModes)
        modes.emplace_back(mode.name, mode.summary);
    return modes;
}

bool WriteHostileAnswer(const std::string& mode, HostileConnection& connection) {
    for (const Mode& known : kModes) {
        if (mode == known.name)
            return known.write(connection);
    }
    return Complete(connection, 404, "Not Found",
                    JsonText({{"message", "No hostile mode \"" + mode + "\"."}}));
}

}  // namespace kestrum::platform
