// The host whose pins are checked must be the host that is connected: every spelling that
// reaches a pinned host is judged by that host's pins, and spellings a transport would read
// as another host are refused.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "browser/request_handling.h"
#include "common/text_encoding.h"
#include "fatal/fatal_error.h"
#include "service/http_client.h"
#include "service/http_transport.h"
#include "service/pin_store.h"
#include "service/pin_validation.h"
#include "service/url_parts.h"

namespace kestrum {
namespace {

const std::string kPlatformPin(44, 'P');
const std::string kAttackerPin(44, 'A');

// An attacker's server on every host: its chain matches no pin of the platform.
class AttackerTransport final : public HttpTransport {
  public:
    explicit AttackerTransport(std::vector<std::string>& sent) : sent_(sent) {}
    TransportResponse Exchange(const TransportRequest& request) override {
        TransportResponse response;
        if (request.chainCheck && !request.chainCheck({{kAttackerPin, u"Attacker CA", false}})) {
            response.failure = TransportFailure::kChainRejected;
            return response;
        }
        sent_.push_back(request.method + " " + Utf16ToUtf8(request.target.host));
        response.statusCode = 200;
        response.chainVerified = static_cast<bool>(request.chainCheck);
        return response;
    }

  private:
    std::vector<std::string>& sent_;
};

class TransportHosts : public testing::Test {
  protected:
    void SetUp() override {
        // "localhost" is the loopback profile's platform domain too.
        ReplacePins({{u"localhost", {kPlatformPin}}, {u"Pinned.Test.", {kPlatformPin}}});
        ReportFatalErrorsInstead([this](const FatalError& error) { codes.push_back(error.code); });
    }
    void TearDown() override {
        ReportFatalErrorsInstead(nullptr);
        ReplacePins(DefaultPins());
    }
    std::vector<std::string> codes;
};

TEST_F(TransportHosts, AddressesGiveTheHostTheTransportConnectsTo) {
    struct Case {
        const char16_t* url;
        std::optional<std::u16string> host;  // nothing: the address is refused
    };
    const Case cases[] = {
        {u"https://localhost:8443/x", u"localhost"},
        {u"https://LOCALHOST.:8443/x", u"localhost"},
        {u"https://LocalHost./", u"localhost"},
        {u"https://user@LOCALHOST.:8443/", u"localhost"},
        {u"https://[::1]:8443/", u"[::1]"},
        {u"https://%6cocalhost:8443/", std::nullopt},
        {u"https://local%68ost/", std::nullopt},
        {u"https://localhost%2e:8443/", std::nullopt},
        {u"https://[fe80::1%25eth0]/", std::nullopt},
        {u"https://localhost..:8443/", std::nullopt},
        {u"https://.localhost/", std::nullopt},
        {u"https://./", std::nullopt},
        {u"https://a..localhost/", std::nullopt},
        {u"https://l\u043Ecalhost/", std::nullopt},  // Cyrillic o
        {u"https://\uFF4C\uFF4F\uFF43\uFF41\uFF4C\uFF48\uFF4F\uFF53\uFF54/",
         std::nullopt},  // fullwidth
    };
    for (const auto& c : cases) {
        const std::optional<UrlParts> parts = SplitUrl(c.url);
        ASSERT_EQ(parts.has_value(), c.host.has_value()) << Utf16ToUtf8(c.url);
        if (parts) {
            EXPECT_EQ(parts->host, *c.host) << Utf16ToUtf8(c.url);
        }
    }
}

TEST_F(TransportHosts, TheServiceClientChecksThePinsOfTheHostItReaches) {
    struct Case {
        const char16_t* url;
        const char* error;
        std::vector<std::string> codes;
    };
    const std::string preflight = "Pre-flight SSL Pin validation FAILED for ";
    const std::string prevented = ". MITM Attack Prevented!";
    const Case cases[] = {
        {u"https://LOCALHOST.:8443/api", "localhost", {"SSL_localhost"}},
        {u"https://localhost.:8443/api", "localhost", {"SSL_localhost"}},
        {u"https://PINNED.test/api", "pinned.test", {}},
        {u"https://pinned.test./api", "pinned.test", {}},
        {u"https://%6cocalhost:8443/api", nullptr, {}},
        {u"https://localhost..:8443/api", nullptr, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(Utf16ToUtf8(c.url));
        codes.clear();
        std::vector<std::string> sent;
        HttpClient client(std::make_unique<AttackerTransport>(sent));
        const HttpResponse response = client.Get(c.url);
        EXPECT_EQ(response.error,
                  c.error ? preflight + c.error + prevented : "Failed to parse URL");
        EXPECT_TRUE(sent.empty()) << sent.front();  // nothing reached the attacker
        EXPECT_EQ(codes, c.codes);
    }
}

TEST_F(TransportHosts, APagesRequestIsCheckedForTheHostTheEngineReaches) {
    struct Case {
        const char16_t* url;
        std::vector<std::u16string> checked;
        bool blocked;
    };
    const Case cases[] = {
        {u"https://LOCALHOST.:8443/lesson", {u"localhost"}, true},
        {u"https://localhost.:8443/lesson", {u"localhost"}, true},
        {u"https://Pinned.Test./a.js", {u"pinned.test"}, true},
        {u"https://other.test./a.js", {u"other.test"}, false},
        {u"https://%6cocalhost:8443/lesson", {}, true},
        {u"https://localhost..:8443/lesson", {}, true},
        {u"http://localhost.:8443/lesson", {}, false},  // plain HTTP carries no pins
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(Utf16ToUtf8(c.url));
        std::vector<std::u16string> checked;
        const RequestDecision decision =
            DecideRequest(c.url, BrowserWindow::kMain, {}, u"", [&](const std::u16string& host) {
                checked.push_back(host);
                return host != u"localhost" && host != u"pinned.test";
            });
        EXPECT_EQ(checked, c.checked);
        EXPECT_EQ(decision.blocked, c.blocked);
    }
}

TEST_F(TransportHosts, PinsOfAHostAreFoundWhateverItsSpelling) {
    const ServerChain attacker{{kAttackerPin, u"Attacker CA", false}};
    const ServerChain platform{{kPlatformPin, u"Platform CA", false}};
    for (const char16_t* host : {u"localhost", u"LOCALHOST.", u"Localhost."}) {
        SCOPED_TRACE(Utf16ToUtf8(host));
        codes.clear();
        ASSERT_TRUE(FindPins(host));
        EXPECT_TRUE(ValidateServerPins(platform, host));
        EXPECT_FALSE(ValidateServerPins(attacker, host));
        EXPECT_EQ(codes, std::vector<std::string>{"SSL_localhost"});
    }
    ASSERT_TRUE(FindPins(u"cdn.pinned.test."));  // a scope written with its dot
    for (const char16_t* refused : {u"%6cocalhost", u"localhost..", u""}) {
        SCOPED_TRACE(Utf16ToUtf8(refused));
        EXPECT_FALSE(ValidateServerPins(platform, refused));
    }
}

}  // namespace
}  // namespace kestrum
