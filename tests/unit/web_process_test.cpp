#include <gtest/gtest.h>

#include "browser/request_handling.h"
#include "browser/web_process_settings.h"
#include "common/text_encoding.h"

namespace kestrum {
namespace {

TEST(WebProcessSettings, TravelToTheWebProcessUnchanged) {
    const WebProcessSettings settings{BrowserWindow::kStart,
                                      {u"DEV-1", u"طالب Model \"x\""},
                                      u"https://school.kestrum.test",
                                      {{u"localhost", {"pinA=", "pinB="}}, {u"127.0.0.2", {}}},
                                      u"https://localhost:8443/content/a.html?x=1",
                                      u"url_direct",
                                      {u"localhost", u"cdn.example"}};
    const auto parsed = ParseWebProcessSettings(WebProcessSettingsJson(settings));
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->window, BrowserWindow::kStart);
    EXPECT_EQ(parsed->device.id, u"DEV-1");
    EXPECT_EQ(parsed->device.description, settings.device.description);
    EXPECT_EQ(parsed->linkServer, settings.linkServer);
    ASSERT_EQ(parsed->pins.size(), 2u);
    EXPECT_EQ(parsed->pins[0].scope, u"localhost");
    EXPECT_EQ(parsed->pins[0].pins, (std::vector<std::string>{"pinA=", "pinB="}));
    EXPECT_EQ(parsed->contentUrl, settings.contentUrl);
    EXPECT_EQ(parsed->contentKind, u"url_direct");
    EXPECT_EQ(parsed->passedHosts, settings.passedHosts);
}

TEST(WebProcessSettings, RefuseDocumentsThatAreNotTheirs) {
    for (const char* text :
         {"", "[]", "{\"window\":\"main\"}",
          "{\"window\":\"side\",\"deviceId\":\"\",\"deviceDescription\":\"\",\"linkServer\":\"\","
          "\"pins\":[]}",
          "{\"window\":\"main\",\"deviceId\":\"\",\"deviceDescription\":\"\",\"linkServer\":\"\","
          "\"pins\":[{\"scope\":\"a\",\"pins\":[1]}],\"contentUrl\":\"\",\"contentKind\":\"\"}",
          // Without the content, the web process could not judge the main window's navigations.
          "{\"window\":\"main\",\"deviceId\":\"\",\"deviceDescription\":\"\",\"linkServer\":\"\","
          "\"pins\":[]}",
          // Passed hosts that are not names must not be half taken.
          "{\"window\":\"main\",\"deviceId\":\"\",\"deviceDescription\":\"\",\"linkServer\":\"\","
          "\"pins\":[],\"contentUrl\":\"\",\"contentKind\":\"\",\"passedHosts\":[\"a\",1]}",
          "{\"window\":\"main\",\"deviceId\":\"\",\"deviceDescription\":\"\",\"linkServer\":\"\","
          "\"pins\":[],\"contentUrl\":\"\",\"contentKind\":\"\",\"passedHosts\":\"a\"}"})
        EXPECT_FALSE(ParseWebProcessSettings(text)) << text;
}

TEST(RequestDecision, AFailingHostIsBlockedWithoutHeaders) {
    std::vector<std::u16string> checked;
    const auto pins = [&](const std::u16string& host) {
        checked.push_back(host);
        return host != u"intercepted.example";
    };
    const DeviceValues device{u"DEV-1", u"Model"};
    const RequestDecision blocked = DecideRequest(u"HTTPS://Intercepted.Example:8443/a?b",
                                                  BrowserWindow::kMain, device, u"", pins);
    EXPECT_TRUE(blocked.blocked);
    EXPECT_EQ(blocked.blockedHost, u"intercepted.example");
    EXPECT_TRUE(blocked.headers.empty());

    const RequestDecision passed =
        DecideRequest(u"https://ok.example/x", BrowserWindow::kMain, device, u"", pins);
    EXPECT_FALSE(passed.blocked);
    EXPECT_FALSE(passed.headers.empty()) << "at least the client header";
    DecideRequest(u"http://plain.example/", BrowserWindow::kMain, device, u"", pins);
    EXPECT_EQ(checked, (std::vector<std::u16string>{u"intercepted.example", u"ok.example"}))
        << "only https hosts are pin-checked";
}

TEST(RequestDecision, TheInterceptionCodeKeepsTheFirstHundredBytesOfTheHost) {
    EXPECT_EQ(InterceptedHostCode(u"evil.example"), "MITM_PIN_evil.example");
    const std::u16string longHost(150, u'a');
    EXPECT_EQ(InterceptedHostCode(longHost), "MITM_PIN_" + std::string(100, 'a'));
}

}  // namespace
}  // namespace kestrum
