#include <gtest/gtest.h>

#include <chrono>

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

}  // namespace
}  // namespace kestrum
