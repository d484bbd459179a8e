#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "common/base64.h"
#include "common/platform_profile.h"
#include "fatal/diagnostic_code.h"

namespace kestrum {
namespace {

TEST(DiagnosticCode, RoundTripsThroughSupportsDecoder) {
    const std::string code =
        BuildDiagnosticCode("split_failed_parts_1", u"QkZFQkZCRkYwMDA4MDZFQQ==", 1765000000);
    EXPECT_EQ(
        DecodeDiagnosticCode(code),
        "ERRDIAG|v1|ts=1765000000|mk=QkZFQkZCRkYwMDA4MDZFQQ==|reason=split_failed_parts_1|END");
    // The code itself must not show the text it carries.
    EXPECT_EQ(Base64Decode(code).find("ERRDIAG"), std::string::npos);
    for (char c : code)
        EXPECT_TRUE(std::isalnum(static_cast<unsigned char>(c)) || c == '+' || c == '/' ||
                    c == '=');
}

TEST(DiagnosticCode, ScramblesWithTheRepeatingSixteenByteKey) {
    const std::string key = RestoreProfileSecret(ProfileItem::kDiagnosticKey).value();
    ASSERT_EQ(key.size(), 16u);
    const std::string code = BuildDiagnosticCode("r", u"", 7);
    const std::string plain = "ERRDIAG|v1|ts=7|mk=|reason=r|END";
    const std::string scrambled = Base64Decode(code);
    ASSERT_EQ(scrambled.size(), plain.size());
    for (std::size_t i = 0; i < plain.size(); ++i) {
        EXPECT_EQ(static_cast<char>(scrambled[i] ^ key[i % 16]), plain[i]) << i;
    }
}

TEST(DiagnosticCode, UsesTheCurrentTimeAndTheDeviceSource) {
    const auto before = std::chrono::duration_cast<std::chrono::seconds>(
                            std::chrono::system_clock::now().time_since_epoch())
                            .count();
    const std::string text =
        DecodeDiagnosticCode(BuildDiagnosticCode("exception_x", [] { return u"ZGV2aWNl"; }));
    const auto tsStart = text.find("ts=") + 3;
    const long long ts = std::stoll(text.substr(tsStart, text.find('|', tsStart) - tsStart));
    EXPECT_GE(ts, before);
    EXPECT_LE(ts, before + 5);
    EXPECT_NE(text.find("|mk=ZGV2aWNl|reason=exception_x|END"), std::string::npos);
    EXPECT_NE(DecodeDiagnosticCode(BuildDiagnosticCode("r", nullptr)).find("|mk=|"),
              std::string::npos);
}

// A code for any text, made the way the player makes its codes.
std::string CodeFor(std::string text) {
    const std::string key = RestoreProfileSecret(ProfileItem::kDiagnosticKey).value();
    for (std::size_t i = 0; i < text.size(); ++i)
        text[i] = static_cast<char>(text[i] ^ key[i % key.size()]);
    return Base64Encode(text);
}

TEST(DiagnosticCode, SupportAcceptsOnlyWholeRecords) {
    const std::string good = BuildDiagnosticCode("pins_failed", u"QkZF", 1765000000);
    struct Case {
        const char* name;
        std::string code;
        const char* whyHolds;  // "" when the code is accepted
    };
    const std::vector<Case> cases = {
        {"a code the player made", good, ""},
        {"pasted with blanks and a line end", "  " + good + "\r\n", ""},
        {"reason holding a bar", CodeFor("ERRDIAG|v1|ts=1|mk=x|reason=a|b|END"), ""},
        {"empty", "", "empty"},
        {"only blanks", " \n", "empty"},
        {"three letters", "zzz", "not Base64"},
        {"foreign character inside", good.substr(0, 8) + "!" + good.substr(9), "not Base64"},
        {"cut short", good.substr(0, good.size() - 4), "diagnostic record"},
        {"Base64 of plain text", Base64Encode("ERRDIAG|v1|ts=1|mk=x|reason=r|END"),
         "diagnostic record"},
        {"other version", CodeFor("ERRDIAG|v2|ts=1|mk=x|reason=r|END"), "diagnostic record"},
        {"time not a number", CodeFor("ERRDIAG|v1|ts=1a|mk=x|reason=r|END"), "diagnostic record"},
        {"time missing", CodeFor("ERRDIAG|v1|ts=|mk=x|reason=r|END"), "diagnostic record"},
        {"no reason", CodeFor("ERRDIAG|v1|ts=1|mk=x|END"), "diagnostic record"},
        {"no end", CodeFor("ERRDIAG|v1|ts=1|mk=x|reason=r|"), "diagnostic record"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string why;
        const std::optional<std::string> text = ReadDiagnosticCode(c.code, why);
        if (c.whyHolds[0] == '\0') {
            ASSERT_TRUE(text.has_value()) << why;
            EXPECT_EQ(text->rfind("ERRDIAG|v1|ts=", 0), 0u) << *text;
        } else {
            EXPECT_FALSE(text.has_value());
            EXPECT_NE(why.find(c.whyHolds), std::string::npos) << why;
        }
    }
}

}  // namespace
}  // namespace kestrum
