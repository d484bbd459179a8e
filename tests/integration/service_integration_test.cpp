// The service client against the stand-in platform on loopback: real TLS, real chains, an
// attacker with a wrong key and one with a forged issuer. Started by with_platform.sh.
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <chrono>
#include <cstdlib>

#include "app/platform_link_services.h"
#include "common/platform_profile.h"
#include "common/text_encoding.h"
#include "fatal/fatal_error.h"
#include "link/scheme_args.h"
#include "service/content_data_request.h"
#include "service/dynamic_pins.h"
#include "service/http_client.h"
#include "service/http_transport.h"
#include "service/pin_store.h"
#include "service/version_check.h"
#include "tests/integration/stand_in_control.h"

namespace kestrum {
namespace {

using namespace testing_stand_in;

const std::u16string kPlatform = u"https://localhost:8443";

class ServiceIntegration : public ::testing::Test {
  protected:
    void SetUp() override {
        ReplacePins(DefaultPins());
        ReportFatalErrorsInstead(
            [this](const FatalError& error) { fatalCodes.push_back(error.code); });
        control.Clear();
        forgedControl.Clear();
    }
    void TearDown() override {
        ReportFatalErrorsInstead(nullptr);
        control.Set({{"pins", "array"}, {"version", "optional"}});
    }
    Control control{Env("KESTRUM_CONTROL_URL")};
    Control forgedControl{Env("KESTRUM_FORGED_CONTROL_URL")};
    std::vector<std::string> fatalCodes;
};

TEST_F(ServiceIntegration, PreflightsOncePerHostAndClient) {
    HttpClient client;
    EXPECT_EQ(client.Get(kPlatform + u"/start").statusCode, 200u);
    EXPECT_EQ(client.Get(kPlatform + u"/").statusCode, 200u);
    HttpClient another;
    EXPECT_TRUE(another.Get(kPlatform + u"/start").success);
    EXPECT_EQ(Requests(control.Log()),
              (std::vector<std::string>{"platform HEAD /", "platform GET /start", "platform GET /",
                                        "platform HEAD /", "platform GET /start"}));
    EXPECT_TRUE(fatalCodes.empty());
}

TEST_F(ServiceIntegration, AWrongKeyReceivesNothing) {
    const std::vector<std::string> genuine = DefaultPins().front().pins;
    ReplacePins({{u"127.0.0.2", genuine}});
    HttpClient client;
    client.SetDefaultHeader(u"X-Secret", u"must-not-leak");
    const std::u16string attacker = Env("KESTRUM_ATTACKER_URL");
    const HttpResponse response = client.Put(attacker + u"/api", "secret=1", u"text/plain");
    EXPECT_EQ(response.error,
              "Pre-flight SSL Pin validation FAILED for 127.0.0.2. MITM Attack Prevented!");
    EXPECT_EQ(response.statusCode, 0u);
    ExpectNothingOfTheRequest(control.Log());
    EXPECT_TRUE(fatalCodes.empty());  // not a host of the platform's domain
    control.Clear();

    // The same server is reachable when pinning is off: the log above would have seen it.
    HttpClient unpinned;
    unpinned.DisablePinning();
    EXPECT_TRUE(unpinned.Get(attacker + u"/start").success);
    EXPECT_EQ(Requests(control.Log()), std::vector<std::string>{"attacker GET /start"});
}

TEST_F(ServiceIntegration, AForgedIssuerIsRefused) {
    const std::u16string forged = Env("KESTRUM_FORGED_URL");  // https://127.0.0.1:port
    ReplacePins({{u"127.0.0.1", DefaultPins().front().pins}});
    HttpClient client;
    EXPECT_EQ(client.Get(forged + u"/start").error,
              "Pre-flight SSL Pin validation FAILED for 127.0.0.1. MITM Attack Prevented!");
    ExpectNothingOfTheRequest(forgedControl.Log());

    // Under the platform's own name the failure ends in the fatal dialog.
    ReplacePins(DefaultPins());
    std::u16string asLocalhost = forged;
    asLocalhost.replace(asLocalhost.find(u"127.0.0.1"), 9, u"localhost");
    const HttpResponse response = HttpClient().Get(asLocalhost + u"/start");
    EXPECT_FALSE(response.success);
    EXPECT_EQ(fatalCodes, std::vector<std::string>{"SSL_localhost"});
    ExpectNothingOfTheRequest(forgedControl.Log());
}

TEST_F(ServiceIntegration, AnswersComeBackAsTheServerSentThem) {
    HttpClient client;
    const HttpResponse redirect = client.Get(kPlatform + u"/__test/redirect");
    EXPECT_EQ(redirect.statusCode, 302u);
    EXPECT_FALSE(redirect.success);
    const HttpResponse missing = client.Get(kPlatform + u"/__test/status/404");
    EXPECT_EQ(missing.statusCode, 404u);
    EXPECT_FALSE(missing.body.empty());
    EXPECT_EQ(client.Get(kPlatform + u"/__test/status/500").statusCode, 500u);
    const HttpResponse huge = client.Get(kPlatform + u"/__test/huge");
    EXPECT_TRUE(huge.success);
    EXPECT_EQ(huge.body.size(), 20u * 1024u * 1024u);
    // The redirect's target was not fetched.
    for (const auto& line : Requests(control.Log()))
        EXPECT_NE(line, "platform GET /") << line;
}

TEST_F(ServiceIntegration, ASilentServerEndsInATimeOutNotAHang) {
    // The player's limits are 10 s to connect and 30 s per receive; shorter ones here.
    HttpClient client(CreatePlatformTransport(TransportSettings{"test", 1000, 1000, 1000, 2000}));
    const auto start = std::chrono::steady_clock::now();
    const HttpResponse response = client.Get(kPlatform + u"/__test/slow");
    EXPECT_EQ(response.error, "WinHttpReceiveResponse failed: 12002");
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(15));
}

TEST_F(ServiceIntegration, DeviceHeadersGoOnlyToPlatformHosts) {
    HttpClient client;
    client.Get(kPlatform + u"/start");
    client.Get(u"https://127.0.0.1:8443/start");  // no fragment in the host, no pins
    const auto log = control.Log();
    // Each host gets its pre-flight (unpinned hosts pass it) before the request itself.
    ASSERT_EQ(Requests(log), (std::vector<std::string>{"platform HEAD /", "platform GET /start",
                                                       "platform HEAD /", "platform GET /start"}));
    const std::string idHeader = ProfileMember(ProfileItem::kDeviceHeaders, "deviceId");
    EXPECT_TRUE(log[1]["headers"].contains(idHeader)) << log[1].dump();
    EXPECT_FALSE(log[3]["headers"].contains(idHeader)) << log[3].dump();
}

TEST_F(ServiceIntegration, LoadsTheServicesPinsOrKeepsTheDefaults) {
    struct Case {
        const char* mode;
        bool loaded;
    };
    for (const Case c : {Case{"array", true}, Case{"object", false}, Case{"malformed", false},
                         Case{"error", false}}) {
        control.Set({{"pins", c.mode}});
        ReplacePins(DefaultPins());
        EXPECT_EQ(LoadDynamicPins(), c.loaded) << c.mode;
        const auto entry = FindPins(u"localhost");
        ASSERT_TRUE(entry) << c.mode;
        EXPECT_EQ(entry->pins, DefaultPins().front().pins) << c.mode;  // defaults come first
    }
    // From the pins request on, the shared client carries the service token.
    const auto log = control.Log();
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log.back()["headers"].value("X-Secret", std::string()),
              RestoreProfileSecret(ProfileItem::kServiceToken).value());
}

TEST_F(ServiceIntegration, VersionChecksFollowTheServicesAnswer) {
    struct Case {
        const char* mode;
        bool update;
        bool mandatory;
    };
    // This build's system asks with its own query and is offered its own download.
    const BuildPlatform own = ThisBuildPlatform();
    const BuildPlatform other =
        own == BuildPlatform::kLinux ? BuildPlatform::kWindows : BuildPlatform::kLinux;
    const std::u16string ownDownload = Utf8ToUtf16(ProfileText(UpdateItemsFor(own).downloadUrl));
    ASSERT_NE(ownDownload, Utf8ToUtf16(ProfileText(UpdateItemsFor(other).downloadUrl)));
    for (const Case c : {Case{"none", false, false}, Case{"optional", true, false},
                         Case{"mandatory", true, true}}) {
        control.Set({{"version", c.mode}});
        for (const std::u16string& server :
             {std::u16string(), std::u16string(u"localhost:8443/")}) {
            control.Clear();
            const VersionCheckResult result = CheckAppVersion(4.11, server);
            EXPECT_EQ(result.hasUpdate, c.update) << c.mode;
            EXPECT_EQ(result.mandatory, c.mandatory) << c.mode;
            if (c.update) {
                EXPECT_EQ(result.downloadUrl, ownDownload) << c.mode;
            }
            const auto log = control.Log();
            ASSERT_FALSE(log.empty());
            EXPECT_EQ("https://localhost:8443" + log.back()["target"].get<std::string>(),
                      Utf16ToUtf8(VersionCheckAddress(u"localhost:8443", own)));
        }
    }
    EXPECT_FALSE(CheckAppVersion(4.11, u"127.0.0.1:1").hasUpdate);  // nobody there
}

TEST_F(ServiceIntegration, LinksResolveThroughTheService) {
    struct Case {
        const char* link;
        std::u16string kind;
        bool pageScript;
    };
    const Case cases[] = {
        {"lesson-video", u"url_direct", false},  {"notes-pdf", u"pdf", false},
        {"interactive", u"interactive", false},  {"live-zoom-other-type", u"url_direct", false},
        {"lesson-youtube", u"url_direct", true},
    };
    for (const auto& c : cases) {
        const std::string link = control.Link(c.link);
        ASSERT_FALSE(link.empty()) << c.link;
        AppContext context;
        std::string error;
        ASSERT_TRUE(ParseSchemeArgs(Utf8ToUtf16(link), error, context, PlatformLinkServices()))
            << c.link << ": " << error;
        EXPECT_EQ(context.contentKind, c.kind) << c.link;
        EXPECT_EQ(!context.pageScript.empty(), c.pageScript) << c.link;
        EXPECT_FALSE(context.contentUrl.empty()) << c.link;
    }
    std::string message;
    EXPECT_FALSE(GetContentData(u"localhost:8443", "no-such-content", "token", &message));
    EXPECT_FALSE(message.empty());
    std::string unreachable;
    EXPECT_FALSE(GetContentData(u"127.0.0.1:1", "lesson-video", "token", &unreachable));
    EXPECT_EQ(unreachable, "WinHttpSendRequest failed: 12029");
}

}  // namespace
}  // namespace kestrum
