#include <gtest/gtest.h>

#include <stdexcept>

#include "common/platform_profile.h"
#include "common/text_encoding.h"
#include "link/scheme_args.h"
#include "tests/support/reference_crypto.h"

namespace kestrum {
namespace {

std::string LinkKey() {
    return RestoreProfileSecret(ProfileItem::kLinkKey).value();
}

std::u16string Part(const std::string& plain) {
    return Utf8ToUtf16(reference::Envelope(plain, LinkKey()));
}

std::u16string Link(const std::string& token, const std::string& content,
                    const std::string& server) {
    return u"kestrum:" + Part(token) + u":" + Part(content) + u":" + Part(server);
}

// A stand-in service that records what it was asked.
struct FakeService {
    std::optional<ContentData> answer;
    std::string message;
    std::optional<std::string> pageScript;
    bool throwOnPageScript = false;

    int contentCalls = 0;
    std::u16string askedServer;
    std::string askedId, askedToken;
    std::u16string askedScriptAddress;

    LinkServices Services() {
        LinkServices services;
        services.getContentData = [this](const std::u16string& server, const std::string& id,
                                         const std::string& token, std::string& serviceMessage) {
            ++contentCalls;
            askedServer = server;
            askedId = id;
            askedToken = token;
            serviceMessage = message;
            return answer;
        };
        services.fetchPageScript = [this](const std::u16string& address) {
            askedScriptAddress = address;
            if (throwOnPageScript)
                throw std::runtime_error("WinHttpOpen failed");
            return pageScript;
        };
        return services;
    }
};

struct Outcome {
    bool ok;
    std::string error;
    AppContext context;
};

Outcome Parse(const std::u16string& argument, FakeService& service) {
    Outcome outcome;
    outcome.ok = ParseSchemeArgs(argument, outcome.error, outcome.context, service.Services());
    return outcome;
}

TEST(ParseSchemeArgs, ReportsEachFailureWithItsReason) {
    const std::u16string good = Part("x");
    struct Case {
        std::u16string argument;
        std::string error;
    };
    const Case cases[] = {
        {u"kestrum:", "split_failed_parts_0"},
        {u"", "split_failed_parts_0"},
        {u"kestrum:a:b", "split_failed_parts_2"},
        {u"kestrum:a:b:", "split_failed_parts_2"},
        {u"kestrum:" + good + u"::" + good, "exception_Failed to parse AES envelope JSON"},
        {u"kestrum:" + Part("") + u":" + good + u":" + good, "decrypt_failed_empty_strings"},
        {u"kestrum:" + good + u":" + good + u":" + Part("h").substr(0, 20),
         "exception_Failed to parse AES envelope JSON"},
    };
    FakeService service;
    for (const auto& c : cases) {
        const Outcome outcome = Parse(c.argument, service);
        EXPECT_FALSE(outcome.ok);
        EXPECT_EQ(outcome.error, c.error) << Utf16ToUtf8(c.argument);
    }
    EXPECT_EQ(service.contentCalls, 0);
}

TEST(ParseSchemeArgs, RefusesATamperedPart) {
    auto parts = reference::MakeEnvelopeParts("https://server.test", LinkKey(), "0123456789abcdef");
    parts.valueText[5] = parts.valueText[5] == 'A' ? 'B' : 'A';
    const std::u16string forged =
        Utf8ToUtf16(reference::Base64(reference::EnvelopeJson(parts, parts.macText.c_str())));
    FakeService service;
    const Outcome outcome = Parse(
        u"kestrum:" + Part("t") + u":" + Part("https://cdn.test/v.mp4") + u":" + forged, service);
    EXPECT_FALSE(outcome.ok);
    EXPECT_EQ(outcome.error, "exception_MAC verification failed \xE2\x80\x94 data may be tampered");
}

TEST(ParseSchemeArgs, FindsThePayloadHoweverTheLinkArrives) {
    const std::u16string p1 = Part("tok"), p2 = Part("https://cdn.test/a.mp4"),
                         p3 = Part("https://server.test");
    std::u16string spaced = u"kestrum:" + p1 + u":" + p2 + u":" + p3;
    for (auto& c : spaced) {
        if (c == u'+')
            c = u' ';  // a browser turned the plus signs into blanks
    }
    std::u16string percent = u"kestrum:" + p1 + u":" + p2 + u":" + p3;
    std::u16string encoded;
    for (char16_t c : percent)
        encoded += c == u'+' ? u"%2B" : c == u':' ? u"%3A" : std::u16string(1, c);

    const std::u16string arguments[] = {
        u"KESTRUM:" + p1 + u":" + p2 + u":" + p3,
        u"kestrum://" + p1 + u":" + p2 + u":" + p3 + u"/",
        u"\"kestrum:" + p1 + u":" + p2 + u":" + p3,
        p1 + u":" + p2 + u":" + p3,  // no scheme word: the payload on its own
        spaced,
        encoded,
        u"kestrum:" + p1 + u":" + p2 + u":" + p3 + u":ignored:parts",
    };
    for (const auto& argument : arguments) {
        FakeService service;
        const Outcome outcome = Parse(argument, service);
        EXPECT_TRUE(outcome.ok) << outcome.error << " for " << Utf16ToUtf8(argument);
        EXPECT_EQ(outcome.context.contentUrl, u"https://cdn.test/a.mp4");
        EXPECT_EQ(outcome.context.linkServer, u"https://server.test");
    }
}

TEST(ParseSchemeArgs, AQuoteAfterThePayloadStaysInTheThirdPartAndIsIgnoredThere) {
    FakeService service;
    const Outcome outcome = Parse(u"kestrum:" + Part("t") + u":" + Part("https://a.test/x") + u":" +
                                      Part("https://s.test") + u"\"",
                                  service);
    // The quote is not Base64, so the decoder stops before it.
    EXPECT_TRUE(outcome.ok) << outcome.error;
}

TEST(ParseSchemeArgs, ShowsADirectAddressWithoutAskingTheService) {
    FakeService service;
    const Outcome outcome =
        Parse(Link("tok", "https://cdn.test/lesson.mp4", "https://server.test/\\"), service);
    ASSERT_TRUE(outcome.ok) << outcome.error;
    EXPECT_EQ(service.contentCalls, 0);
    EXPECT_EQ(outcome.context.contentUrl, u"https://cdn.test/lesson.mp4");
    EXPECT_EQ(outcome.context.contentKind, u"url_direct");
    EXPECT_EQ(outcome.context.watermarkText, u"");
    EXPECT_EQ(outcome.context.linkServer, u"https://server.test");
}

TEST(ParseSchemeArgs, AsksTheServiceForContentNamedByIdentifier) {
    struct Case {
        const char* name;
        ContentData data;
        std::u16string kind;
        std::u16string url;
    };
    const auto data = [](std::string type, std::string url, std::string youtube = "") {
        ContentData d;
        d.type = std::move(type);
        d.url = std::move(url);
        d.youtubeUrl = std::move(youtube);
        d.watermark = "learner@example.test \xD9\x85";
        d.numericId = -42;
        return d;
    };
    const Case cases[] = {
        {"video file", data("video", "https://cdn.test/v.mp4"), u"url_direct",
         u"https://cdn.test/v.mp4"},
        {"pdf", data("pdf", "https://cdn.test/a.pdf"), u"pdf", u"https://cdn.test/a.pdf"},
        {"zoom type", data("zoom", "https://x.test/j/1"), u"url_direct", u"https://x.test/j/1"},
        {"zoom_url type", data("zoom_url", "https://x.test/j/1"), u"url_direct",
         u"https://x.test/j/1"},
        {"other type on a zoom host", data("meeting", "https://us02web.zoom.us/j/1"), u"url_direct",
         u"https://us02web.zoom.us/j/1"},
        {"other type", data("iframe", "https://h5p.test/1"), u"iframe", u"https://h5p.test/1"},
        {"case matters for types", data("VIDEO", "https://cdn.test/v.mp4"), u"VIDEO",
         u"https://cdn.test/v.mp4"},
    };
    for (const auto& c : cases) {
        FakeService service;
        service.answer = c.data;
        const Outcome outcome = Parse(Link("tok-9", "lesson-77", "https://server.test/"), service);
        ASSERT_TRUE(outcome.ok) << c.name << ": " << outcome.error;
        EXPECT_EQ(outcome.context.contentKind, c.kind) << c.name;
        EXPECT_EQ(outcome.context.contentUrl, c.url) << c.name;
        EXPECT_EQ(outcome.context.watermarkText, u"learner@example.test \u0645");
        EXPECT_EQ(outcome.context.pageScript, u"");
        EXPECT_EQ(service.askedServer, u"https://server.test");
        EXPECT_EQ(service.askedId, "lesson-77");
        EXPECT_EQ(service.askedToken, "tok-9");
    }
}

TEST(ParseSchemeArgs, UpperCaseSchemeInTheContentIsAnIdentifier) {
    FakeService service;
    service.message = "not found";
    const Outcome outcome = Parse(Link("t", "HTTPS://cdn.test/x", "s.test"), service);
    EXPECT_EQ(service.contentCalls, 1);
    EXPECT_EQ(service.askedId, "HTTPS://cdn.test/x");
    EXPECT_EQ(outcome.error, "server:not found");
}

TEST(ParseSchemeArgs, TurnsServiceFailuresIntoReasons) {
    FakeService withMessage;
    withMessage.message =
        "\xD8\xA7\xD9\x86\xD8\xAA\xD9\x87\xD8\xAA "
        "\xD8\xA7\xD9\x84\xD8\xB5\xD9\x84\xD8\xA7\xD8\xAD\xD9\x8A\xD8\xA9";
    EXPECT_EQ(Parse(Link("t", "7", "s.test"), withMessage).error, "server:" + withMessage.message);

    FakeService silent;
    EXPECT_EQ(Parse(Link("t", "7", "s.test"), silent).error, "api_content_data_failed");

    LinkServices none;  // no service at all
    Outcome outcome;
    EXPECT_FALSE(ParseSchemeArgs(Link("t", "7", "s.test"), outcome.error, outcome.context, none));
    EXPECT_EQ(outcome.error, "api_content_data_failed");
}

TEST(ParseSchemeArgs, NormalizesYouTubeContentAndFetchesItsPageScript) {
    FakeService service;
    ContentData data;
    data.type = "pdf";
    data.url = "https://cdn.test/ignored.pdf";
    data.youtubeUrl = "https://www.youtube.com/watch?v=abc123&list=x";
    data.numericId = -42;
    service.answer = data;
    service.pageScript = "console.log('\xD9\x85');";
    const Outcome outcome = Parse(Link("t", "7", "https://server.test/"), service);
    ASSERT_TRUE(outcome.ok) << outcome.error;
    EXPECT_EQ(outcome.context.contentKind, u"url_direct");
    EXPECT_EQ(outcome.context.contentUrl,
              u"https://www.youtube.com/embed/abc123?origin=https%3a%2f%2fserver.test");
    EXPECT_EQ(outcome.context.pageScript, u"console.log('\u0645');");
    EXPECT_EQ(service.askedScriptAddress,
              Utf8ToUtf16(ProfileText(ProfileItem::kPageScriptUrlPrefix) + "-42"));
}

TEST(ParseSchemeArgs, ShowsOnlyWebAddressesOfTheService) {
    struct Case {
        const char* url;
        const char* youtubeUrl;
        std::string error;  // empty: accepted
    };
    const Case cases[] = {
        {"javascript:alert(document.domain)//", "", "content_url_not_web"},
        {"file:///etc/passwd", "", "content_url_not_web"},
        {"data:text/html,<script>alert(1)</script>", "", "content_url_not_web"},
        {"smb://attacker.test/share/evil.desktop", "", "content_url_not_web"},
        {"//cdn.test/relative", "", "content_url_not_web"},
        {"https://cdn.test/my notes.pdf", "", ""},
        {"https://cdn.test/a\nb", "", "content_url_not_web"},
        {"https://cdn.test/a\x01b", "", "content_url_not_web"},
        {"", "", "content_url_empty"},
        {"HTTPS://CDN.TEST/Lesson", "", ""},
        {"http://cdn.test/lesson", "", ""},
        // A YouTube-looking address that is not one stays unchanged, and is refused.
        {"https://cdn.test/x", "javascript:alert('youtube.com')", "content_url_not_web"},
    };
    for (const auto& c : cases) {
        FakeService service;
        ContentData data;
        data.type = "iframe";
        data.url = c.url;
        data.youtubeUrl = c.youtubeUrl;
        service.answer = data;
        service.pageScript = "script";
        const Outcome outcome = Parse(Link("t", "7", "s.test"), service);
        EXPECT_EQ(outcome.ok, c.error.empty()) << c.url;
        EXPECT_EQ(outcome.error, c.error) << c.url;
        if (!outcome.ok) {
            EXPECT_EQ(service.askedScriptAddress, u"") << c.url;
        }
    }
}

TEST(ParseSchemeArgs, AMissingPageScriptIsNoFailureButABrokenClientIs) {
    ContentData data;
    data.youtubeUrl = "https://youtu.be/abc";
    FakeService notFound;
    notFound.answer = data;  // pageScript stays empty: a 404
    const Outcome ok = Parse(Link("t", "7", "s.test"), notFound);
    EXPECT_TRUE(ok.ok) << ok.error;
    EXPECT_EQ(ok.context.pageScript, u"");

    FakeService broken;
    broken.answer = data;
    broken.throwOnPageScript = true;
    EXPECT_EQ(Parse(Link("t", "7", "s.test"), broken).error, "exception_WinHttpOpen failed");
}

TEST(DecodeLink, GivesThePartsAndTheSameReasons) {
    DecodedLink link;
    std::string error;
    ASSERT_TRUE(DecodeLink(Link("tok", "7", "https://s.test//"), link, error)) << error;
    EXPECT_EQ(link.token, "tok");
    EXPECT_EQ(link.contentLinkId, "7");
    EXPECT_EQ(link.server, "https://s.test");
    EXPECT_FALSE(DecodeLink(u"kestrum:a:b", link, error));
    EXPECT_EQ(error, "split_failed_parts_2");
}

}  // namespace
}  // namespace kestrum
