#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "browser/header_decisions.h"
#include "browser/web_messages.h"
#include "common/platform_profile.h"
#include "common/text_encoding.h"

namespace kestrum {
namespace {

std::u16string Member(ProfileItem item, const char* member) {
    return Utf8ToUtf16(ProfileMember(item, member));
}

std::u16string FirstPlatformFragment() {
    const auto fragments = ProfileJson(ProfileItem::kPlatformHostFragments);
    return Utf8ToUtf16(fragments.at(0).get<std::string>());
}

std::string Describe(const std::vector<RequestHeader>& headers) {
    std::string text;
    for (const auto& header : headers)
        text += Utf16ToUtf8(header.name) + ": " + Utf16ToUtf8(header.value) + "\n";
    return text;
}

TEST(RequestHeaders, CarryTheIdentityTheRequestCalledFor) {
    const DeviceValues device{u"DEV-1", u"Maker Model"};
    const RequestHeader client{Member(ProfileItem::kClientHeader, "name"),
                               Member(ProfileItem::kClientHeader, "value")};
    const RequestHeader id{Member(ProfileItem::kDeviceHeaders, "deviceId"), device.id};
    const RequestHeader description{Member(ProfileItem::kDeviceHeaders, "deviceDescription"),
                                    device.description};
    const RequestHeader mediaId{Member(ProfileItem::kMediaDeviceHeaders, "deviceId"), device.id};
    const RequestHeader mediaDescription{
        Member(ProfileItem::kMediaDeviceHeaders, "deviceDescription"), device.description};
    const auto startNames = ProfileJson(ProfileItem::kStartWindowHeaders).at("names");
    const std::u16string startValue = Member(ProfileItem::kStartWindowHeaders, "value");
    const RequestHeader start1{Utf8ToUtf16(startNames.at(0).get<std::string>()), startValue};
    const RequestHeader start2{Utf8ToUtf16(startNames.at(1).get<std::string>()), startValue};
    const std::u16string media =
        u"https://cdn.unlisted.example/a" +
        Utf8ToUtf16(ProfileMember(ProfileItem::kMediaPatterns, "suffix20"));
    const std::u16string platform = u"https://" + FirstPlatformFragment() + u"/api/x";
    const std::u16string server = u"https://portal.platform.example/";

    constexpr auto M = BrowserWindow::kMain;
    constexpr auto S = BrowserWindow::kStart;
    struct Case {
        std::u16string url;
        BrowserWindow window;
        std::u16string linkServer;
        std::vector<RequestHeader> headers;
    };
    const Case cases[] = {
        {u"https://unlisted.example/", M, server, {client}},
        {platform, M, server, {client, id, description}},
        {media, M, server, {client, mediaId, mediaDescription}},
        {u"https://unlisted.example/?h=" + FirstPlatformFragment(), M, server, {client}},
        {u"https://" + FirstPlatformFragment() + u":x@unlisted.example/", M, server, {client}},
        {u"https://www.youtube.com/embed/abc",
         M,
         server,
         {client, {u"Referer", u"https://portal.platform.example"}}},
        {u"https://i.ytimg.com/x.jpg", M, server, {client}},
        {u"https://youtu.be/abc",
         M,
         u"https://p.example",
         {client, {u"Referer", u"https://p.example"}}},
        {u"https://www.youtube.com/embed/abc", M, u"", {client}},
        {u"https://www.youtube.com/embed/abc", M, u"/", {client}},
        {u"https://evilyoutube.com/", M, server, {client}},
        {u"https://unlisted.example/?next=youtube.com", M, server, {client}},
        {u"https://www.youtube.com/embed/abc", S, server, {client, start1, start2}},
        {u"https://unlisted.example/", S, server, {client, start1, start2}},
        {platform, S, server, {client, id, description, start1, start2}},
    };
    for (const auto& c : cases) {
        const auto headers = RequestHeaders(c.url, c.window, device, c.linkServer);
        EXPECT_EQ(headers, c.headers) << Utf16ToUtf8(c.url) << "\n" << Describe(headers);
    }

    // Device values are only sent when they could be read.
    EXPECT_EQ(RequestHeaders(platform, M, {u"", u"Maker Model"}, server),
              (std::vector<RequestHeader>{client, description}));
    EXPECT_EQ(RequestHeaders(media, M, {u"DEV-1", u""}, server),
              (std::vector<RequestHeader>{client, mediaId}));

    // The player's own navigations.
    EXPECT_EQ(PlatformNavigationHeaders(platform, device),
              (std::vector<RequestHeader>{client, id, mediaId, description, mediaDescription}));
    EXPECT_TRUE(PlatformNavigationHeaders(u"https://unlisted.example/", device).empty());
    EXPECT_TRUE(PlatformNavigationHeaders(u"about:blank", device).empty());
}

TEST(IsMediaAddress, ComparesEachPatternWhereItBelongs) {
    const auto patterns = ProfileJson(ProfileItem::kMediaPatterns);
    const std::u16string base = u"https://cdn.unlisted.example/x";
    for (const char* name : {"suffix6", "suffix9", "suffix20"}) {
        const std::u16string pattern = Utf8ToUtf16(patterns.at(name).get<std::string>());
        EXPECT_TRUE(IsMediaAddress(base + pattern)) << name;
        EXPECT_FALSE(IsMediaAddress(base + pattern + u"/more")) << name;
    }
    const std::u16string anywhere = Utf8ToUtf16(patterns.at("anywhere").get<std::string>());
    EXPECT_TRUE(IsMediaAddress(base + anywhere + u"seg1.ts?t=1"));
    EXPECT_FALSE(IsMediaAddress(u"https://cdn.unlisted.example/page.html"));
}

TEST(PinCheckHost, IsTheHostOfAnHttpsAddress) {
    struct Case {
        std::u16string lowerUrl;
        std::u16string host;
    };
    const Case cases[] = {
        {u"https://api.example.test:8443/x", u"api.example.test"},
        {u"https://api.example.test", u"api.example.test"},
        {u"https://api.example.test?x=1", u"api.example.test"},
        {u"https://other.test:x@api.example.test/", u"api.example.test"},
        {u"http://api.example.test/", u""},
        {u"data:text/plain,x", u""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PinCheckHost(c.lowerUrl), c.host) << Utf16ToUtf8(c.lowerUrl);
}

TEST(WebMessages, MatchTheExactAndQuotedFormsOfEachWindow) {
    using A = MessageAction;
    struct Case {
        std::u16string message;
        MessageAction main;
        MessageAction start;
    };
    const Case cases[] = {
        {u"requestPrint", A::kPrint, A::kPrint},
        {u"\"requestPrint\"", A::kPrint, A::kPrint},
        {u"{\"action\":\"requestPrint\"}", A::kPrint, A::kPrint},
        {u"[1,\"requestPrint\"]", A::kPrint, A::kPrint},
        {u"requestprint", A::kIgnore, A::kIgnore},
        {u"{\"action\":\"requestprint\"}", A::kIgnore, A::kIgnore},
        {u"requestPrint ", A::kIgnore, A::kIgnore},
        {u"toggleFullscreen", A::kToggleFullscreen, A::kIgnore},
        {u"\"toggleFullscreen\"", A::kToggleFullscreen, A::kIgnore},
        {u"{\"a\":\"toggleFullscreen\"}", A::kIgnore, A::kIgnore},
        {u"\"toggleFullscreen", A::kIgnore, A::kIgnore},
        {u"pageLoaded", A::kPageLoaded, A::kIgnore},
        {u"\"pageLoaded\"", A::kPageLoaded, A::kIgnore},
        {u"PageLoaded", A::kIgnore, A::kIgnore},
        {u"btn_home", A::kIgnore, A::kHome},
        {u"btn_back", A::kIgnore, A::kBack},
        {u"btn_reload", A::kIgnore, A::kReload},
        {u"btn_fullscreen", A::kIgnore, A::kStartFullscreen},
        {u"\"btn_home\"", A::kIgnore, A::kIgnore},
        {u"BTN_HOME", A::kIgnore, A::kIgnore},
        {u"btn_home2", A::kIgnore, A::kIgnore},
        {u"\"\"", A::kIgnore, A::kIgnore},
        {u"", A::kIgnore, A::kIgnore},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(MainWindowMessageAction(c.message), c.main) << Utf16ToUtf8(c.message);
        EXPECT_EQ(StartWindowMessageAction(c.message), c.start) << Utf16ToUtf8(c.message);
    }
}

}  // namespace
}  // namespace kestrum
