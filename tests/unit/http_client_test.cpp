#include <gtest/gtest.h>

#include <deque>

#include "common/platform_profile.h"
#include "common/text_encoding.h"
#include "fatal/fatal_error.h"
#include "service/http_client.h"
#include "service/http_transport.h"
#include "service/pin_store.h"
#include "service/url_parts.h"

namespace kestrum {
namespace {

const std::string kGoodPin(44, 'G');

// A transport that plays the network: each exchange shows the server's chain to the
// request's check (as a new connection would), then answers from a script.
struct FakeNetwork {
    ServerChain chain{{kGoodPin, u"CA", false}};
    std::deque<TransportResponse> answers;
    std::vector<TransportRequest> seen;       // exchanges that reached the "server"
    std::vector<std::string> handshakesOnly;  // hosts whose chain was shown, nothing sent
    // Requests other than the pre-flight are answered on a connection whose certificate
    // could not be read: the check never saw a chain.
    bool requestsUnverified = false;
};

class FakeTransport final : public HttpTransport {
  public:
    explicit FakeTransport(FakeNetwork& network) : network_(network) {}
    TransportResponse Exchange(const TransportRequest& request) override {
        const bool unread = network_.requestsUnverified && request.method != "HEAD";
        if (request.chainCheck && !unread && !request.chainCheck(network_.chain)) {
            network_.handshakesOnly.push_back(Utf16ToUtf8(request.target.host));
            TransportResponse rejected;
            rejected.failure = TransportFailure::kChainRejected;
            return rejected;
        }
        network_.seen.push_back(request);
        TransportResponse answer;
        if (!network_.answers.empty() && request.method != "HEAD") {
            answer = network_.answers.front();
            network_.answers.pop_front();
        } else {
            answer.statusCode = 200;
        }
        answer.chainVerified = static_cast<bool>(request.chainCheck) && !unread &&
                               answer.failure == TransportFailure::kNone;
        return answer;
    }

  private:
    FakeNetwork& network_;
};

TransportResponse Answer(std::uint32_t status, std::string body) {
    TransportResponse response;
    response.statusCode = status;
    response.body = std::move(body);
    return response;
}

std::string HeaderValue(const TransportRequest& request, const std::string& name) {
    for (const auto& [key, value] : request.headers) {
        if (key == name)
            return value;
    }
    return "(absent)";
}

class HttpClientTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ReplacePins({{u"pinned.test", {kGoodPin}}, {u"localhost", {kGoodPin}}});
        ReportFatalErrorsInstead(
            [this](const FatalError& error) { fatalCodes.push_back(error.code); });
    }
    void TearDown() override {
        ReportFatalErrorsInstead(nullptr);
        ReplacePins(DefaultPins());
    }
    HttpClient MakeClient() {
        return HttpClient(
            std::make_unique<FakeTransport>(network),
            DeviceIdentitySource{[] { return u"ZGV2aWNl"; }, [] { return u"Vendor Model"; }});
    }
    FakeNetwork network;
    std::vector<std::string> fatalCodes;
};

TEST_F(HttpClientTest, PreflightsOncePerHostThenSendsTheRequest) {
    HttpClient client = MakeClient();
    network.answers = {Answer(200, "one"), Answer(200, "two")};
    EXPECT_EQ(client.Get(u"https://pinned.test/a").body, "one");
    EXPECT_EQ(client.Get(u"https://pinned.test:443/b?x=1").body, "two");
    ASSERT_EQ(network.seen.size(), 3u);
    EXPECT_EQ(network.seen[0].method, "HEAD");
    EXPECT_EQ(network.seen[0].target.path, u"/");
    EXPECT_TRUE(network.seen[0].headers.empty());  // the pre-flight carries nothing of ours
    EXPECT_EQ(network.seen[1].method, "GET");
    EXPECT_EQ(network.seen[2].target.path, u"/b?x=1");
}

TEST_F(HttpClientTest, NothingReachesAHostWhoseChainMatchesNoPin) {
    HttpClient client = MakeClient();
    client.SetDefaultHeader(u"X-Secret", u"token");
    network.chain = {{"attacker", u"Evil CA", false}};
    const HttpResponse response =
        client.Put(u"https://pinned.test/api", "secret body", u"text/plain");
    EXPECT_FALSE(response.success);
    EXPECT_EQ(response.statusCode, 0u);
    EXPECT_EQ(response.error,
              "Pre-flight SSL Pin validation FAILED for pinned.test. MITM Attack Prevented!");
    EXPECT_TRUE(network.seen.empty());
    EXPECT_EQ(network.handshakesOnly, std::vector<std::string>{"pinned.test"});
    EXPECT_TRUE(fatalCodes.empty());
}

TEST_F(HttpClientTest, APlatformHostThatFailsItsPinsEndsInTheFatalDialog) {
    HttpClient client = MakeClient();
    network.chain = {{"attacker", u"Evil CA", false}};
    const HttpResponse response = client.Get(u"https://localhost:8443/x");
    EXPECT_EQ(fatalCodes, std::vector<std::string>{"SSL_localhost"});
    EXPECT_FALSE(response.success);
}

TEST_F(HttpClientTest, ReportsEachFailureWithItsText) {
    struct Case {
        const char* name;
        TransportFailure failure;
        unsigned long code;
        std::string error;
    };
    const Case cases[] = {
        {"send", TransportFailure::kSend, 12029, "WinHttpSendRequest failed: 12029"},
        {"receive", TransportFailure::kReceive, 12002, "WinHttpReceiveResponse failed: 12002"},
        {"connect", TransportFailure::kConnect, 0, "WinHttpConnect failed"},
        {"open", TransportFailure::kOpenRequest, 0, "WinHttpOpenRequest failed"},
        {"chain", TransportFailure::kChainRejected, 12175,
         "SSL Pin validation FAILED for plain.test"},
    };
    for (const auto& c : cases) {
        HttpClient client = MakeClient();
        TransportResponse failed;
        failed.failure = c.failure;
        failed.systemCode = c.code;
        failed.statusCode = 500;  // never reported with a failure
        network.answers = {failed};
        const HttpResponse response = client.Get(u"http://plain.test/");
        EXPECT_EQ(response.error, c.error) << c.name;
        EXPECT_EQ(response.statusCode, 0u) << c.name;
        EXPECT_FALSE(response.success) << c.name;
    }
    network.seen.clear();
    HttpClient client = MakeClient();
    for (const char16_t* url :
         {u"not a url", u"ftp://host/x", u"https://", u"https://host:99999/"}) {
        EXPECT_EQ(client.Get(url).error, "Failed to parse URL") << Utf16ToUtf8(url);
    }
    EXPECT_TRUE(network.seen.empty());
}

TEST_F(HttpClientTest, KeepsStatusAndBodyOfEveryAnswer) {
    HttpClient client = MakeClient();
    network.answers = {Answer(302, ""), Answer(404, R"({"message":"gone"})"), Answer(500, "oops"),
                       Answer(204, "")};
    const HttpResponse redirect = client.Get(u"http://plain.test/");
    EXPECT_EQ(redirect.statusCode, 302u);
    EXPECT_FALSE(redirect.success);
    EXPECT_EQ(redirect.error, "");
    EXPECT_EQ(client.Get(u"http://plain.test/").body, R"({"message":"gone"})");
    EXPECT_EQ(client.Get(u"http://plain.test/").body, "oops");
    EXPECT_TRUE(client.Get(u"http://plain.test/").success);
}

TEST_F(HttpClientTest, AddsDeviceHeadersOnlyForPlatformHosts) {
    HttpClient client = MakeClient();
    client.SetDefaultHeader(u"X-Secret", u"token");
    client.SetDefaultHeader(u"X-Secret", u"token-2");  // overwritten, not doubled
    const std::string idHeader = ProfileMember(ProfileItem::kDeviceHeaders, "deviceId");
    const std::string descriptionHeader =
        ProfileMember(ProfileItem::kDeviceHeaders, "deviceDescription");

    client.Get(u"http://LOCALHOST:8080/");
    client.Get(u"http://cdn.example.test/");
    ASSERT_EQ(network.seen.size(), 2u);
    EXPECT_EQ(HeaderValue(network.seen[0], idHeader), "ZGV2aWNl");
    EXPECT_EQ(HeaderValue(network.seen[0], descriptionHeader), "Vendor Model");
    EXPECT_EQ(HeaderValue(network.seen[0], "X-Secret"), "token-2");
    EXPECT_EQ(HeaderValue(network.seen[1], idHeader), "(absent)");
    EXPECT_EQ(HeaderValue(network.seen[1], "X-Secret"), "token-2");
}

TEST_F(HttpClientTest, SendsTheBodyAndContentTypeOnlyWhenGiven) {
    HttpClient client = MakeClient();
    client.Put(u"http://plain.test/x", "a=1&b=2", u"application/x-www-form-urlencoded");
    client.Get(u"http://plain.test/y");
    ASSERT_EQ(network.seen.size(), 2u);
    EXPECT_EQ(network.seen[0].method, "PUT");
    EXPECT_EQ(network.seen[0].body, "a=1&b=2");
    EXPECT_EQ(HeaderValue(network.seen[0], "Content-Type"), "application/x-www-form-urlencoded");
    EXPECT_EQ(HeaderValue(network.seen[1], "Content-Type"), "(absent)");
    EXPECT_EQ(network.seen[1].body, "");
}

TEST_F(HttpClientTest, PlainHttpAndDisabledPinningMakeNoPreflight) {
    HttpClient plain = MakeClient();
    plain.Get(u"http://pinned.test/");
    HttpClient unpinned = MakeClient();
    unpinned.DisablePinning();
    network.chain = {{"anything", u"Any CA", false}};
    EXPECT_TRUE(unpinned.Get(u"https://pinned.test/").success);
    ASSERT_EQ(network.seen.size(), 2u);
    EXPECT_EQ(network.seen[0].method, "GET");
    EXPECT_EQ(network.seen[1].method, "GET");
    EXPECT_FALSE(network.seen[1].chainCheck);
}

TEST_F(HttpClientTest, APinnedAnswerWhoseCertificateCouldNotBeReadFails) {
    network.requestsUnverified = true;
    network.answers = {Answer(200, "unauthenticated"), Answer(200, "fine")};
    HttpClient client = MakeClient();
    const HttpResponse response = client.Get(u"https://pinned.test/a");
    EXPECT_EQ(response.error, "SSL Pin validation FAILED for pinned.test");
    EXPECT_EQ(response.statusCode, 0u);
    EXPECT_EQ(response.body, "");
    EXPECT_FALSE(response.success);
    EXPECT_TRUE(fatalCodes.empty());
    // A host without pins has nothing to prove.
    EXPECT_TRUE(client.Get(u"https://unpinned.test/").success);
}

TEST_F(HttpClientTest, SystemValidationTakesThePlaceOfAcceptingUnpinnedHosts) {
    HttpClient client = MakeClient();
    client.ValidateUnpinnedHostsBySystem();
    client.Get(u"https://cdn.example.test/script");  // no pins: the system judges it
    client.Get(u"https://pinned.test/script");       // pins: pre-flight and pin check
    client.Get(u"http://cdn.example.test/script");   // nothing to validate
    ASSERT_EQ(network.seen.size(), 4u);
    EXPECT_EQ(network.seen[0].method, "GET");
    EXPECT_TRUE(network.seen[0].systemValidation);
    EXPECT_FALSE(network.seen[0].chainCheck);
    EXPECT_EQ(network.seen[1].method, "HEAD");
    EXPECT_FALSE(network.seen[2].systemValidation);
    EXPECT_TRUE(network.seen[2].chainCheck);
    EXPECT_FALSE(network.seen[3].systemValidation);

    // Without the switch an unpinned host is accepted whatever it shows, as before.
    network.seen.clear();
    HttpClient plain = MakeClient();
    plain.Get(u"https://cdn.example.test/script");
    ASSERT_EQ(network.seen.size(), 2u);
    EXPECT_FALSE(network.seen[1].systemValidation);
}

TEST_F(HttpClientTest, PassesItsAnswerLimitToEveryExchange) {
    HttpClient client = MakeClient();
    client.Get(u"http://plain.test/");
    client.SetAnswerLimit(4096);
    client.Get(u"http://plain.test/");
    client.SetAnswerLimit(~std::size_t{0});  // never above the transport's own ceiling
    client.Get(u"http://plain.test/");
    ASSERT_EQ(network.seen.size(), 3u);
    EXPECT_EQ(network.seen[0].maxBody, kMaxAnswerBytes);
    EXPECT_EQ(network.seen[1].maxBody, 4096u);
    EXPECT_EQ(network.seen[2].maxBody, kMaxAnswerBytes);
}

TEST(SplitUrl, SplitsLikeTheSystemCracker) {
    struct Case {
        std::u16string url;
        bool ok;
        bool secure;
        std::u16string host;
        std::uint16_t port;
        std::u16string path;
    };
    const Case cases[] = {
        {u"https://a.test/x/y?q=1", true, true, u"a.test", 443, u"/x/y?q=1"},
        {u"http://a.test", true, false, u"a.test", 80, u"/"},
        {u"HTTPS://A.test:8443", true, true, u"a.test", 8443, u"/"},
        {u"https://user:pw@a.test:1/p", true, true, u"a.test", 1, u"/p"},
        {u"https://[::1]:8443/p", true, true, u"[::1]", 8443, u"/p"},
        {u"https://a.test?x", true, true, u"a.test", 443, u"/?x"},
        {u"https://a.test:0/", false, false, u"", 0, u""},
        {u"https://a.test:x/", false, false, u"", 0, u""},
        {u"https:///p", false, false, u"", 0, u""},
        {u"mailto:x@y", false, false, u"", 0, u""},
        {u"", false, false, u"", 0, u""},
    };
    for (const auto& c : cases) {
        const auto parts = SplitUrl(c.url);
        ASSERT_EQ(parts.has_value(), c.ok) << Utf16ToUtf8(c.url);
        if (!parts)
            continue;
        EXPECT_EQ(parts->secure, c.secure) << Utf16ToUtf8(c.url);
        EXPECT_EQ(parts->host, c.host) << Utf16ToUtf8(c.url);
        EXPECT_EQ(parts->port, c.port) << Utf16ToUtf8(c.url);
        EXPECT_EQ(parts->path, c.path) << Utf16ToUtf8(c.url);
    }
}

}  // namespace
}  // namespace kestrum
