#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <string>

#include "printing/print_results.h"

namespace kestrum {
namespace {

struct ResultCase {
    PrintOutcome outcome;
    const char* json;
};

// Pages compare these texts: each byte matters, and the key order too.
const ResultCase kResults[] = {
    {PrintOutcome::kCancelled, R"({"type":"printResult","status":"cancelled"})"},
    {PrintOutcome::kNoPrintEnvironment,
     R"({"type":"printResult","status":"error","message":"Failed to create print environment"})"},
    {PrintOutcome::kNoPrintSettings,
     R"({"type":"printResult","status":"error","message":"Failed to create print settings"})"},
    {PrintOutcome::kNoPrinterNameSetting,
     R"({"type":"printResult","status":"error","message":"Failed to set printer name"})"},
    {PrintOutcome::kNoPrintApi,
     R"({"type":"printResult","status":"error","message":"Print API not available"})"},
    {PrintOutcome::kEngineFailed,
     R"({"type":"printResult","status":"error","message":"Print failed. Please check your printer."})"},
    {PrintOutcome::kPrinterUnavailable,
     R"({"type":"printResult","status":"error","message":"The selected printer is unavailable."})"},
    {PrintOutcome::kSucceeded,
     R"({"type":"printResult","status":"success","message":"Print job sent successfully."})"},
    {PrintOutcome::kUnknownError,
     R"({"type":"printResult","status":"error","message":"Print failed with unknown error."})"},
};

TEST(PrintResultJson, IsTheExactTextOfEachOutcome) {
    for (const ResultCase& c : kResults) {
        EXPECT_EQ(PrintResultJson(c.outcome), c.json) << static_cast<int>(c.outcome);
    }
}

TEST(PrintResultJson, IsWellFormedWithAMessageExactlyForSuccessAndError) {
    for (const ResultCase& c : kResults) {
        const auto json = nlohmann::json::parse(PrintResultJson(c.outcome), nullptr, false);
        ASSERT_TRUE(json.is_object()) << c.json;
        EXPECT_EQ(json.value("type", ""), "printResult") << c.json;
        const std::string status = json.value("status", "");
        if (status == "cancelled") {
            EXPECT_EQ(json.size(), 2u) << c.json;
        } else {
            EXPECT_TRUE(status == "success" || status == "error") << c.json;
            EXPECT_TRUE(json.contains("message") && json["message"].is_string()) << c.json;
        }
    }
}

TEST(PrintResultJson, AnOutOfRangeOutcomeStillReadsAsAnError) {
    EXPECT_EQ(
        PrintResultJson(static_cast<PrintOutcome>(99)),
        R"({"type":"printResult","status":"error","message":"Print failed with unknown error."})");
}

}  // namespace
}  // namespace kestrum
