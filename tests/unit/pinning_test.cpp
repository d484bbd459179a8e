#include <gtest/gtest.h>

#include <algorithm>

#include "common/text_encoding.h"
#include "fatal/fatal_error.h"
#include "service/http_transport.h"
#include "service/page_host_pins.h"
#include "service/pin_store.h"
#include "service/pin_validation.h"
#include "service/pins_document.h"
#include "service/verified_servers.h"

namespace kestrum {
namespace {

const std::string kPinA(43, 'A');
const std::string kPinB(43, 'B');
const std::string kPinC(43, 'C');

// Records fatal errors instead of ending; restores the built-in pins after each test.
class Pinning : public ::testing::Test {
  protected:
    void SetUp() override {
        ReportFatalErrorsInstead(
            [this](const FatalError& error) { fatalCodes.push_back(error.code); });
    }
    void TearDown() override {
        ReportFatalErrorsInstead(nullptr);
        ReplacePins(DefaultPins());
    }
    std::vector<std::string> fatalCodes;
};

TEST_F(Pinning, FindPinsPrefersExactThenLongestDottedSuffix) {
    ReplacePins({{u"example.test", {kPinA}},
                 {u"api.example.test", {kPinB}},
                 {u"Exact.Example.Test", {kPinC}},
                 {u"api.example.test", {"second entry of the same scope"}}});
    struct Case {
        std::u16string host;
        std::optional<std::string> firstPin;
    };
    const Case cases[] = {
        {u"example.test", kPinA},
        {u"EXAMPLE.TEST", kPinA},
        {u"www.example.test", kPinA},
        {u"v1.api.example.test", kPinB},  // the longer scope wins
        {u"api.example.test", kPinB},     // exact, and the earlier entry of that scope
        {u"exact.example.test", kPinC},   // exact beats a suffix match found earlier
        {u"badexample.test", std::nullopt},
        {u"other.test", std::nullopt},
    };
    for (const auto& c : cases) {
        const auto entry = FindPins(c.host);
        ASSERT_EQ(entry.has_value(), c.firstPin.has_value()) << Utf16ToUtf8(c.host);
        if (entry) {
            EXPECT_EQ(entry->pins.front(), *c.firstPin) << Utf16ToUtf8(c.host);
        }
    }
}

ServerChain Chain(std::vector<std::string> pins, std::vector<bool> signedByNext) {
    ServerChain chain;
    for (std::size_t i = 0; i < pins.size(); ++i) {
        chain.push_back({pins[i], u"Issuer " + Utf8ToUtf16(std::to_string(i)),
                         i < signedByNext.size() && signedByNext[i]});
    }
    return chain;
}

TEST_F(Pinning, AcceptsAChainWhoseSignedPathReachesAPin) {
    ReplacePins({{u"pinned.test", {kPinB}}});
    struct Case {
        const char* name;
        ServerChain chain;
        bool accepted;
    };
    const Case cases[] = {
        {"leaf pinned", Chain({kPinB, "x", "y"}, {false, false}), true},
        {"intermediate pinned, leaf signed by it", Chain({"x", kPinB, "y"}, {true, false}), true},
        {"root pinned, whole path signed", Chain({"x", "y", kPinB}, {true, true}), true},
        // A leaf of the attacker's own that names the pinned intermediate as its issuer.
        {"forged issuer", Chain({"attacker", kPinB}, {false}), false},
        {"root pinned, break in the middle", Chain({"x", "y", kPinB}, {true, false}), false},
        {"no pin in the chain", Chain({"x", "y"}, {true}), false},
        {"empty chain", ServerChain{}, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ValidateServerPins(c.chain, u"pinned.test"), c.accepted) << c.name;
    }
    EXPECT_TRUE(fatalCodes.empty());  // not a host of the platform's domain
}

TEST_F(Pinning, UnpinnedHostsPassAndPlatformHostsEndInTheFatalDialog) {
    ReplacePins({{u"localhost", {kPinA}}, {u"nopins.test", {}}});
    EXPECT_TRUE(ValidateServerPins(Chain({"x"}, {}), u"elsewhere.test"));
    EXPECT_TRUE(ValidateServerPins(Chain({"x"}, {}), u"nopins.test"));
    EXPECT_TRUE(fatalCodes.empty());

    EXPECT_FALSE(ValidateServerPins(Chain({"x"}, {}), u"localhost"));
    EXPECT_EQ(fatalCodes, std::vector<std::string>{"SSL_localhost"});
}

TEST_F(Pinning, ACertificateThatCouldNotBeReadIsRefusedWithoutTheDialog) {
    ReplacePins({{u"localhost", {kPinA}}});
    EXPECT_FALSE(ValidateServerPins(ServerChain{}, u"localhost"));
    EXPECT_TRUE(fatalCodes.empty());
    EXPECT_TRUE(ValidateServerPins(ServerChain{}, u"unpinned.test"));
}

// The check on the chain as sent runs before the full one on every connection: it must never
// accept what the full check refuses, and a refusal must not raise the dialog, which the full
// check (run next, on the completed chain) still decides.
TEST_F(Pinning, TheSentChainPassesOnlyByPinsAndQuietly) {
    ReplacePins({{u"localhost", {kPinA}}, {u"nopins.test", {}}});
    struct Case {
        const char* name;
        ServerChain chain;
        std::u16string host;
        bool passes;
    };
    const Case cases[] = {
        {"pinned leaf", Chain({kPinA}, {}), u"localhost", true},
        {"pin above a signed leaf", Chain({"x", kPinA}, {true}), u"localhost", true},
        {"pin above an unsigned leaf", Chain({"x", kPinA}, {false}), u"localhost", false},
        {"no pin yet (the root may be in the store)", Chain({"x", "y"}, {true}), u"localhost",
         false},
        {"unreadable certificate", ServerChain{}, u"localhost", false},
        {"host without pins", Chain({"x"}, {}), u"elsewhere.test", true},
        {"host with an empty pin list", Chain({"x"}, {}), u"nopins.test", true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ChainPassesHostPins(c.chain, c.host), c.passes) << c.name;
        if (c.passes) {
            EXPECT_TRUE(ValidateServerPins(c.chain, c.host)) << c.name;
        }
    }
    EXPECT_TRUE(fatalCodes.empty());
}

// A page host's HEAD answered as scripted.
class ScriptedTransport final : public HttpTransport {
  public:
    explicit ScriptedTransport(TransportResponse answer) : answer_(std::move(answer)) {}
    TransportResponse Exchange(const TransportRequest&) override { return answer_; }

  private:
    TransportResponse answer_;
};

TEST_F(Pinning, APageHostPassesOnlyWithAChainThatWasSeenOrWhenUnreachable) {
    struct Case {
        const char16_t* host;  // each its own, since passing hosts are remembered
        TransportFailure failure;
        bool chainVerified;
        bool passes;
    };
    const Case cases[] = {
        {u"seen.pinned.test", TransportFailure::kNone, true, true},
        {u"unread.pinned.test", TransportFailure::kNone, false, false},
        {u"wrong.pinned.test", TransportFailure::kChainRejected, false, false},
        {u"silent.pinned.test", TransportFailure::kReceive, false, true},
        {u"unreachable.pinned.test", TransportFailure::kSend, false, true},
    };
    ReplacePins({{u"pinned.test", {kPinA}}});
    for (const auto& c : cases) {
        TransportResponse answer;
        answer.failure = c.failure;
        answer.chainVerified = c.chainVerified;
        answer.statusCode = c.failure == TransportFailure::kNone ? 200 : 0;
        EXPECT_EQ(
            CheckHostPins(c.host, [&] { return std::make_unique<ScriptedTransport>(answer); }),
            c.passes)
            << Utf16ToUtf8(c.host);
    }
}

// A page host's server as the transport meets it: the request's chain check judges the
// chain shown, as on a new connection; every exchange is counted.
class ChainShowingTransport final : public HttpTransport {
  public:
    ChainShowingTransport(ServerChain chain, int& exchanges)
        : chain_(std::move(chain)), exchanges_(exchanges) {}
    TransportResponse Exchange(const TransportRequest& request) override {
        ++exchanges_;
        TransportResponse response;
        if (request.chainCheck && !request.chainCheck(chain_)) {
            response.failure = TransportFailure::kChainRejected;
            return response;
        }
        response.statusCode = 200;
        response.chainVerified = true;
        return response;
    }

  private:
    ServerChain chain_;
    int& exchanges_;
};

bool Passed(const std::u16string& host) {
    const auto hosts = PassedPageHosts();
    return std::find(hosts.begin(), hosts.end(), host) != hosts.end();
}

TEST_F(Pinning, AChainAcceptedBeforeSparesTheHandshakeOnlyWhileItPassesThePinsInForce) {
    ReplacePins({{u"seen.test", {kPinA}}});
    RememberVerifiedServer(u"One.Seen.Test", Chain({kPinA}, {}), "leaf of one");
    RememberVerifiedServer(u"two.seen.test", Chain({"x"}, {}), "leaf of two");
    RememberVerifiedServer(u"three.seen.test", Chain({kPinA}, {}), "leaf of three");
    RememberVerifiedServer(u"four.seen.test", Chain({kPinA}, {}), "leaf of four");
    EXPECT_EQ(PinnedCertificateOf(u"one.seen.test"), "leaf of one");
    EXPECT_EQ(PinnedCertificateOf(u"two.seen.test"), std::nullopt);   // the chain fails
    EXPECT_EQ(PinnedCertificateOf(u"five.seen.test"), std::nullopt);  // never seen
    ReplacePins({{u"seen.test", {kPinB}}, {u"three.seen.test", {}}});
    EXPECT_EQ(PinnedCertificateOf(u"one.seen.test"), std::nullopt);    // pins changed since
    EXPECT_EQ(PinnedCertificateOf(u"three.seen.test"), std::nullopt);  // no pins: not ours
    ReplacePins({{u"seen.test", {kPinA}}});
    EXPECT_TRUE(Passed(u"one.seen.test"));  // handed to the web processes
    EXPECT_FALSE(Passed(u"two.seen.test"));

    struct Case {
        const char16_t* host;
        ServerChain shown;  // by the server, should the check connect
        int exchanges;
        bool passes;
    };
    const Case cases[] = {
        {u"four.seen.test", Chain({"x"}, {}), 0, true},    // the seen chain passes
        {u"two.seen.test", Chain({"x"}, {}), 1, false},    // the seen chain fails: connect
        {u"five.seen.test", Chain({kPinA}, {}), 1, true},  // never seen: connect
    };
    for (const auto& c : cases) {
        int exchanges = 0;
        EXPECT_EQ(CheckHostPins(
                      c.host,
                      [&] { return std::make_unique<ChainShowingTransport>(c.shown, exchanges); }),
                  c.passes)
            << Utf16ToUtf8(c.host);
        EXPECT_EQ(exchanges, c.exchanges) << Utf16ToUtf8(c.host);
    }
    EXPECT_TRUE(fatalCodes.empty());
}

TEST_F(Pinning, AHostCheckedAheadPassesOnlyByItsPinsAndLeavesFailuresToTheFullCheck) {
    // "localhost" is of the platform's domain: the full check of a wrong chain ends the
    // process; the check ahead only leaves no verdict.
    ReplacePins({{u"localhost", {kPinA}}, {u"ahead.test", {kPinA}}});
    struct Case {
        const char16_t* host;
        ServerChain shown;
        bool passedAhead;
    };
    const Case cases[] = {
        {u"good.ahead.test", Chain({"x", kPinA}, {true}), true},
        {u"wrong.ahead.test", Chain({"x"}, {}), false},
        {u"unread.ahead.test", ServerChain{}, false},
        {u"localhost", Chain({"x"}, {}), false},
        {u"unpinned.test", Chain({"x"}, {}), true},
    };
    for (const auto& c : cases) {
        int exchanges = 0;
        const auto transport = [&] {
            return std::make_unique<ChainShowingTransport>(c.shown, exchanges);
        };
        const std::size_t fatalBefore = fatalCodes.size();
        PrecheckHostPins(c.host, transport);
        EXPECT_EQ(Passed(c.host), c.passedAhead) << Utf16ToUtf8(c.host);
        EXPECT_EQ(fatalCodes.size(), fatalBefore) << Utf16ToUtf8(c.host);
        // The first request then makes the full check unless the host passed ahead.
        exchanges = 0;
        EXPECT_EQ(CheckHostPins(c.host, transport), c.passedAhead) << Utf16ToUtf8(c.host);
        EXPECT_EQ(exchanges, c.passedAhead ? 0 : 1) << Utf16ToUtf8(c.host);
    }
    EXPECT_EQ(fatalCodes, std::vector<std::string>{"SSL_localhost"});
}

TEST_F(Pinning, HostsPassedByThePlayerPassInTheWebProcessWithoutAConnection) {
    ReplacePins({{u"handed.test", {kPinA}}});
    AcceptPassedPageHosts({u"Page.Handed.Test", u"%6cocalhost"});
    int exchanges = 0;
    const auto transport = [&] {
        return std::make_unique<ChainShowingTransport>(Chain({"x"}, {}), exchanges);
    };
    EXPECT_TRUE(CheckHostPins(u"page.handed.test", transport));
    EXPECT_FALSE(CheckHostPins(u"other.handed.test", transport));
    EXPECT_EQ(exchanges, 1);
    EXPECT_FALSE(Passed(u"%6cocalhost"));
}

TEST_F(Pinning, NoSecurityProductRunsHere) {
    // The exception needs a signed, running product: a chain naming its authority is not
    // enough on its own.
    ServerChain chain = Chain({"x"}, {});
    chain[0].issuerName = u"Avast Web/Mail Shield Root";
    EXPECT_FALSE(IsInspectionProductChain(chain));
    EXPECT_EQ(SecurityProducts().size(), 21u);
}

TEST(PinsDocument, ReadsEntriesAfterTheDefaults) {
    const std::size_t defaults = DefaultPins().size();
    struct Case {
        const char* name;
        std::string body;
        std::optional<std::vector<PinEntry>> added;  // nothing: document refused
    };
    const std::string pinText = "sha256/" + kPinA;
    const Case cases[] = {
        {"prefixed and bare pins",
         R"([{"scope":"a.test","pins":[")" + pinText + R"(",")" + kPinB + R"("]}])",
         std::vector<PinEntry>{{u"a.test", {kPinA, kPinB}}}},
        {"short texts stay as they are", R"([{"scope":"a.test","pins":["sha256/","abc"]}])",
         std::vector<PinEntry>{{u"a.test", {"sha256/", "abc"}}}},
        {"entry without string pins is dropped", R"([{"scope":"a.test","pins":[1,null]}])",
         std::vector<PinEntry>{}},
        {"entry without pins member is skipped", R"([{"scope":"a.test"},{"x":1},7])",
         std::vector<PinEntry>{}},
        {"an object is not a document", R"({"scope":"a.test","pins":["x"]})", std::nullopt},
        {"not JSON", "<html>", std::nullopt},
        {"scope not a text", R"([{"scope":5,"pins":["x"]}])", std::nullopt},
    };
    for (const auto& c : cases) {
        const auto entries = ParsePinsDocument(c.body);
        ASSERT_EQ(entries.has_value(), c.added.has_value()) << c.name;
        if (!entries)
            continue;
        ASSERT_EQ(entries->size(), defaults + c.added->size()) << c.name;
        for (std::size_t i = 0; i < c.added->size(); ++i) {
            EXPECT_EQ((*entries)[defaults + i].scope, (*c.added)[i].scope) << c.name;
            EXPECT_EQ((*entries)[defaults + i].pins, (*c.added)[i].pins) << c.name;
        }
    }
}

}  // namespace
}  // namespace kestrum
