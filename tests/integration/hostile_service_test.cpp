// The service client, the page-script fetch and link handling against a hostile service
// (the stand-in's hostile listener, which holds the genuine chain) and against attackers:
// every answer ends in bounded time with its exact text, and nothing unauthenticated gets
// through. Started by with_platform.sh.
#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#endif

#include <algorithm>
#include <cstdio>
#include <memory>

#include "app/platform_link_services.h"
#include "app/update_address.h"
#include "common/message_text_limit.h"
#include "common/build_platform.h"
#include "common/platform_profile.h"
#include "common/text_encoding.h"
#include "fatal/fatal_error.h"
#include "link/embed_page.h"
#include "link/envelope.h"
#include "link/scheme_args.h"
#include "service/http_client.h"
#include "service/http_transport.h"
#include "service/pin_store.h"
#include "service/version_check.h"
#include "tests/integration/stand_in_control.h"

namespace kestrum {
namespace {

using namespace testing_stand_in;

// The player's phases add up to 80 s end to end; these to 2.5 s, so that a hostile answer
// that would hold the player until its deadline holds the test only briefly.
TransportSettings ShortLimits() {
    return TransportSettings{"test", 500, 500, 500, 1000};
}

std::u16string Hostile(const std::string& mode) {
    return Env("KESTRUM_HOSTILE_URL") + u"/__hostile/" + Utf8ToUtf16(mode);
}

// The page-script address of the stand-in's YouTube lesson (103) on an origin.
std::u16string PageScriptOn(const std::u16string& origin) {
    const std::string prefix = ProfileText(ProfileItem::kPageScriptUrlPrefix);
    const std::size_t pathStart = prefix.find('/', prefix.find("://") + 3);
    return origin + Utf8ToUtf16(prefix.substr(pathStart)) + u"103";
}

class HostileService : public ::testing::Test {
  protected:
    void SetUp() override {
        ReplacePins(DefaultPins());
        SetFatalErrorPresenter(
            [this](const FatalError& error) { fatalCodes.push_back(error.code); });
        control.Clear();
    }
    void TearDown() override { SetFatalErrorPresenter(nullptr); }
    // A client as the shared one is, with the short limits.
    static std::unique_ptr<HttpClient> ShortClient() {
        auto client = std::make_unique<HttpClient>(CreatePlatformTransport(ShortLimits()));
        client->SetAnswerLimit(kServiceAnswerLimit);
        return client;
    }
    Control control{Env("KESTRUM_CONTROL_URL")};
    std::vector<std::string> fatalCodes;
};

// Wine's HTTP stack neither caps response headers nor lets a closed handle end a blocked
// call: headers that never end hold it until the server gives up.
bool UnderWine() {
#ifdef _WIN32
    const HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version");
#else
    return false;
#endif
}

TEST_F(HostileService, EveryBrokenAnswerEndsWithItsText) {
    struct Case {
        const char* mode;
        std::vector<std::string> errors;  // the one text (Windows: the texts it may give)
        std::uint32_t status;
    };
    const std::string timeOut = "WinHttpReceiveResponse failed: 12002";
    const std::string cutShort = "WinHttpReceiveResponse failed: 12030";
    const std::string notHttp = "WinHttpReceiveResponse failed: 12152";
    const std::string headersOverflow = "WinHttpReceiveResponse failed: 12183";
#ifdef _WIN32
    // The system stack may take interim answers as part of the headers, or not.
    const std::vector<std::string> endlessContinue = {headersOverflow, timeOut, notHttp};
#else
    const std::vector<std::string> endlessContinue = {headersOverflow};
#endif
    const Case cases[] = {
        // Time: a trickle outlasts every per-read time-out, the deadline ends it.
        {"trickle", {timeOut}, 0},
        {"trickle-headers", {timeOut}, 0},
        // Size: refused at the announced length, or at the cap of the headers.
        {"huge-length", {cutShort}, 0},
        {"big-answer", {cutShort}, 0},
        {"endless-headers", {headersOverflow}, 0},
        {"endless-continue", endlessContinue, 0},
        // Lies and nonsense.
        {"lying-length", {cutShort}, 0},
        {"broken-status", {notHttp}, 0},
        {"garbage", {notHttp}, 0},
        // A redirect comes back as it is; its target is not fetched.
        {"redirect", {""}, 302},
    };
    for (const auto& c : cases) {
        const std::string mode = c.mode;
        if (UnderWine() && mode.rfind("endless-", 0) == 0) {
            std::printf("skipped under Wine: %s\n", c.mode);
            continue;
        }
        const auto client = ShortClient();
        const HttpResponse response = client->Get(Hostile(c.mode));
        EXPECT_NE(std::find(c.errors.begin(), c.errors.end(), response.error), c.errors.end())
            << c.mode << ": " << response.error;
        EXPECT_EQ(response.statusCode, c.status) << c.mode;
        EXPECT_FALSE(response.success) << c.mode;
        EXPECT_TRUE(response.body.empty()) << c.mode;
    }
    EXPECT_TRUE(fatalCodes.empty());
}

TEST_F(HostileService, ThePageScriptComesOnlyFromAnAuthenticatedServer) {
    const TransportSettings limits = PageScriptTransportSettings();
    // The genuine service under its pinned name.
    const auto genuine = FetchPageScript(PageScriptOn(u"https://localhost:8443"), limits);
    ASSERT_TRUE(genuine.has_value());
    EXPECT_FALSE(genuine->empty());
    control.Clear();

    const std::u16string attacker = Env("KESTRUM_ATTACKER_URL");  // wrong key, 127.0.0.2
    // Unpinned, the attacker meets the system's validation; pinned, the pins.
    EXPECT_FALSE(FetchPageScript(PageScriptOn(attacker), limits).has_value());
    ExpectNothingOfTheRequest(control.Log());
    control.Clear();
    ReplacePins({DefaultPins().front(), {u"127.0.0.2", DefaultPins().front().pins}});
    EXPECT_FALSE(FetchPageScript(PageScriptOn(attacker), limits).has_value());
    ExpectNothingOfTheRequest(control.Log());
    EXPECT_TRUE(fatalCodes.empty());  // not a host of the platform's domain
    ReplacePins(DefaultPins());
    control.Clear();

    // Even the genuine service under a name without pins: its authority is not the system's.
    EXPECT_FALSE(FetchPageScript(PageScriptOn(u"https://127.0.0.1:8443"), limits).has_value());
    ExpectNothingOfTheRequest(control.Log());
    // Never over plain HTTP.
    EXPECT_FALSE(FetchPageScript(u"http://127.0.0.1:8443/script", limits).has_value());

    // A script that trickles or is too large is skipped, within the fetch's deadline.
    EXPECT_FALSE(FetchPageScript(Hostile("trickle"), ShortLimits()).has_value());
    EXPECT_FALSE(FetchPageScript(Hostile("big-answer"), limits).has_value());
}

TEST_F(HostileService, HostileUpdateAddressesAreNeverOpened) {
    const std::u16string builtIn =
        Utf8ToUtf16(ProfileText(UpdateItemsFor(ThisBuildPlatform()).downloadUrl));
    struct Case {
        const char* mode;
        std::u16string offered;
    };
    const Case cases[] = {
        {"update-javascript", u"javascript:alert(document.domain)//"},
        {"update-file", u"file:///etc/passwd"},
        {"update-smb", u"smb://127.0.0.2/share/evil.desktop"},
        {"update-option", u"--help"},
        {"update-elsewhere", u"https://127.0.0.2/kestrum-update"},
    };
    for (const auto& c : cases) {
        const VersionCheckResult result = CheckAppVersion(4.11, Hostile(c.mode));
        EXPECT_TRUE(result.mandatory) << c.mode;
        EXPECT_EQ(result.downloadUrl, c.offered) << c.mode;
        EXPECT_EQ(ChooseUpdateAddress(result.downloadUrl), builtIn) << c.mode;
    }
}

std::u16string LinkTo(const std::u16string& server) {
    const std::string key = RestoreProfileSecret(ProfileItem::kLinkKey).value();
    return Utf8ToUtf16("kestrum:" + EncryptEnvelope("demo-token-0100", key) + ":" +
                       EncryptEnvelope("lesson-7", key) + ":" +
                       EncryptEnvelope(Utf16ToUtf8(server), key));
}

TEST_F(HostileService, HostileContentAnswersEndInTheirReasons) {
    struct Case {
        const char* mode;
        std::string error;
    };
    const Case cases[] = {
        {"content-javascript", "content_url_not_web"}, {"content-file", "content_url_not_web"},
        {"content-data", "content_url_not_web"},       {"content-null", "content_url_empty"},
        {"content-data-null", "content_url_empty"},    {"content-empty", "api_content_data_failed"},
    };
    for (const auto& c : cases) {
        AppContext context;
        std::string error;
        EXPECT_FALSE(
            ParseSchemeArgs(LinkTo(Hostile(c.mode)), error, context, PlatformLinkServices()))
            << c.mode;
        EXPECT_EQ(error, c.error) << c.mode;
    }

    // A framed address with an apostrophe stays an address inside the generated page.
    AppContext context;
    std::string error;
    ASSERT_TRUE(ParseSchemeArgs(LinkTo(Hostile("content-apostrophe")), error, context,
                                PlatformLinkServices()))
        << error;
    EXPECT_EQ(context.contentKind, u"iframe");
    const std::u16string page = BuildEmbedPage(context.contentUrl, context.watermarkText, u"T");
    EXPECT_NE(page.find(u"<iframe src='https://localhost/x&#39;&gt;&lt;/iframe&gt;&lt;script&gt;"),
              std::u16string::npos);
    EXPECT_EQ(page.find(u"<script>alert"), std::u16string::npos);
}

TEST_F(HostileService, OversizedServiceMessagesAreCutForTheBox) {
    struct Case {
        const char* mode;
        std::u16string shown;
    };
    std::u16string firstLines;
    for (std::size_t i = 0; i < kMessageBoxMaxLines; ++i)
        firstLines += u"line\n";
    std::u16string oneLine;  // with its break opportunities
    for (std::size_t i = 0; i < kMessageBoxMaxUnits; ++i)
        oneLine += (i && i % kMessageBoxMaxRunUnits == 0) ? u"\u200Bm" : u"m";
    const Case cases[] = {
        {"many-lines-message", firstLines + u"\u2026"},
        {"long-message", oneLine + u"\u2026"},
    };
    for (const auto& c : cases) {
        AppContext context;
        std::string error;
        EXPECT_FALSE(
            ParseSchemeArgs(LinkTo(Hostile(c.mode)), error, context, PlatformLinkServices()));
        ASSERT_EQ(error.rfind("server:", 0), 0u) << c.mode;
        EXPECT_EQ(LimitMessageText(Utf8ToUtf16(error.substr(7))), c.shown) << c.mode;
    }
}

}  // namespace
}  // namespace kestrum
