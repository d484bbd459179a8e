#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "printing/print_flow.h"

namespace kestrum {
namespace {

constexpr const char* kCancelled = R"({"type":"printResult","status":"cancelled"})";
constexpr const char* kSuccess =
    R"({"type":"printResult","status":"success","message":"Print job sent successfully."})";
constexpr const char* kUnavailable =
    R"({"type":"printResult","status":"error","message":"The selected printer is unavailable."})";
constexpr const char* kFailed =
    R"({"type":"printResult","status":"error","message":"Print failed. Please check your printer."})";
constexpr const char* kUnknown =
    R"({"type":"printResult","status":"error","message":"Print failed with unknown error."})";
constexpr const char* kNoApi =
    R"({"type":"printResult","status":"error","message":"Print API not available"})";

// An engine that records its jobs and keeps their completions for the test to call, or
// refuses to start when told.
class FakeEngine : public PrintEngine {
  public:
    std::optional<PrintOutcome> StartPrint(const std::u16string& printerName,
                                           Completed completed) override {
        printers.push_back(printerName);
        completions.push_back(std::move(completed));
        return refusal;
    }

    std::optional<PrintOutcome> refusal;
    std::vector<std::u16string> printers;
    std::vector<Completed> completions;
};

struct Posted {
    std::vector<std::string> messages;
    std::function<void(const std::string&)> Poster() {
        return [this](const std::string& json) { messages.push_back(json); };
    }
};

std::function<std::u16string()> Choose(std::u16string name) {
    return [name] { return name; };
}

TEST(RunPrintRequest, ACancelPostsOneCancelledAndPrintsNothing) {
    for (const auto& chooser : {Choose(u""), std::function<std::u16string()>()}) {
        FakeEngine engine;
        Posted posted;
        RunPrintRequest(chooser, engine, posted.Poster());
        EXPECT_EQ(posted.messages, std::vector<std::string>{kCancelled});
        EXPECT_TRUE(engine.printers.empty());
    }
}

TEST(RunPrintRequest, PrintsOnTheChosenPrinterAndPostsWhenTheJobEnds) {
    FakeEngine engine;
    Posted posted;
    RunPrintRequest(Choose(u"Office \u00e9/2"), engine, posted.Poster());
    EXPECT_EQ(engine.printers, std::vector<std::u16string>{u"Office \u00e9/2"});
    EXPECT_TRUE(posted.messages.empty()) << "nothing before the engine reports";
    ASSERT_EQ(engine.completions.size(), 1u);
    engine.completions[0](PrintCompletion{0, PrintJobStatus::kSucceeded});
    EXPECT_EQ(posted.messages, std::vector<std::string>{kSuccess});
}

TEST(RunPrintRequest, MapsEachCompletionToItsMessage) {
    struct Case {
        PrintCompletion completion;
        const char* json;
    };
    const Case cases[] = {
        {{0, PrintJobStatus::kSucceeded}, kSuccess},
        {{1, PrintJobStatus::kSucceeded}, kSuccess},  // positive codes are not failures
        {{0, PrintJobStatus::kPrinterUnavailable}, kUnavailable},
        {{0, PrintJobStatus::kOtherError}, kUnknown},
        // A failed call outweighs whatever status came with it.
        {{-1, PrintJobStatus::kSucceeded}, kFailed},
        {{INT32_MIN, PrintJobStatus::kPrinterUnavailable}, kFailed},
    };
    for (const Case& c : cases) {
        FakeEngine engine;
        Posted posted;
        RunPrintRequest(Choose(u"Lab"), engine, posted.Poster());
        ASSERT_EQ(engine.completions.size(), 1u);
        engine.completions[0](c.completion);
        EXPECT_EQ(posted.messages, std::vector<std::string>{c.json})
            << c.completion.errorCode << "/" << static_cast<int>(c.completion.status);
    }
}

TEST(RunPrintRequest, AnEngineThatCannotStartPostsItsOutcomeOnce) {
    FakeEngine engine;
    engine.refusal = PrintOutcome::kNoPrintApi;
    Posted posted;
    RunPrintRequest(Choose(u"Lab"), engine, posted.Poster());
    EXPECT_EQ(posted.messages, std::vector<std::string>{kNoApi});
    // Should it still report the job, the page has had its answer.
    engine.completions[0](PrintCompletion{0, PrintJobStatus::kSucceeded});
    EXPECT_EQ(posted.messages.size(), 1u);
}

TEST(RunPrintRequest, OneMessagePerRequestHoweverOftenTheEngineReports) {
    FakeEngine engine;
    Posted posted;
    RunPrintRequest(Choose(u"Lab"), engine, posted.Poster());
    engine.completions[0](PrintCompletion{0, PrintJobStatus::kPrinterUnavailable});
    engine.completions[0](PrintCompletion{0, PrintJobStatus::kSucceeded});
    EXPECT_EQ(posted.messages, std::vector<std::string>{kUnavailable});
}

TEST(RunPrintRequest, TwoRequestsGetTwoIndependentMessages) {
    FakeEngine engine;
    Posted posted;
    RunPrintRequest(Choose(u"Lab"), engine, posted.Poster());
    RunPrintRequest(Choose(u"Hall"), engine, posted.Poster());
    ASSERT_EQ(engine.completions.size(), 2u);
    // Jobs may end in any order; each answers its own request.
    engine.completions[1](PrintCompletion{0, PrintJobStatus::kOtherError});
    engine.completions[0](PrintCompletion{0, PrintJobStatus::kSucceeded});
    EXPECT_EQ(posted.messages, (std::vector<std::string>{kUnknown, kSuccess}));
}

TEST(RunPrintRequest, AJobMayEndAfterTheEngineObjectIsGone) {
    Posted posted;
    PrintEngine::Completed completed;
    {
        FakeEngine engine;
        RunPrintRequest(Choose(u"Lab"), engine, posted.Poster());
        completed = engine.completions[0];
    }
    completed(PrintCompletion{0, PrintJobStatus::kSucceeded});
    EXPECT_EQ(posted.messages, std::vector<std::string>{kSuccess});
}

TEST(RunPrintRequest, AnEngineMayReportBeforeStartPrintReturns) {
    class SynchronousEngine : public PrintEngine {
      public:
        std::optional<PrintOutcome> StartPrint(const std::u16string&,
                                               Completed completed) override {
            completed(PrintCompletion{0, PrintJobStatus::kPrinterUnavailable});
            return std::nullopt;
        }
    } engine;
    Posted posted;
    RunPrintRequest(Choose(u"Gone"), engine, posted.Poster());
    EXPECT_EQ(posted.messages, std::vector<std::string>{kUnavailable});
}

TEST(RunPrintRequest, WithoutAPosterNothingBreaks) {
    FakeEngine engine;
    RunPrintRequest(Choose(u"Lab"), engine, nullptr);
    engine.completions[0](PrintCompletion{0, PrintJobStatus::kSucceeded});
    RunPrintRequest(Choose(u""), engine, nullptr);
    EXPECT_EQ(engine.printers.size(), 1u);
}

TEST(PrintRequestGate, RequestsWhileThePickerIsOpenAreCancelledWithoutASecondPicker) {
    // The picker's nested loop lets the page ask again before the learner has chosen.
    for (const int extra : {1, 2000}) {
        PrintRequestGate gate;
        FakeEngine engine;
        Posted posted;
        int pickers = 0;
        std::function<std::u16string()> choose = [&] {
            ++pickers;
            EXPECT_TRUE(gate.IsOpen());
            for (int i = 0; i < extra; ++i) {
                gate.Run(choose, engine, posted.Poster());
            }
            return std::u16string(u"Lab");
        };
        gate.Run(choose, engine, posted.Poster());
        EXPECT_EQ(pickers, 1) << extra;
        EXPECT_EQ(posted.messages, std::vector<std::string>(extra, kCancelled)) << extra;
        ASSERT_EQ(engine.completions.size(), 1u) << extra;
        engine.completions[0](PrintCompletion{0, PrintJobStatus::kSucceeded});
        EXPECT_EQ(posted.messages.size(), static_cast<std::size_t>(extra) + 1) << extra;
        EXPECT_EQ(posted.messages.back(), kSuccess) << extra;
    }
}

TEST(PrintRequestGate, ARequestWhileTheJobRunsIsCancelledAndTheNextAfterItPrints) {
    PrintRequestGate gate;
    FakeEngine engine;
    Posted posted;
    int pickers = 0;
    const auto choose = [&] {
        ++pickers;
        return std::u16string(u"Lab");
    };
    gate.Run(choose, engine, posted.Poster());
    EXPECT_TRUE(gate.IsOpen()) << "the job has not ended";
    gate.Run(choose, engine, posted.Poster());
    EXPECT_EQ(pickers, 1);
    EXPECT_EQ(posted.messages, std::vector<std::string>{kCancelled});
    engine.completions[0](PrintCompletion{0, PrintJobStatus::kPrinterUnavailable});
    EXPECT_FALSE(gate.IsOpen());
    gate.Run(choose, engine, posted.Poster());
    EXPECT_EQ(pickers, 2);
    ASSERT_EQ(engine.completions.size(), 2u);
    engine.completions[1](PrintCompletion{0, PrintJobStatus::kSucceeded});
    EXPECT_EQ(posted.messages, (std::vector<std::string>{kCancelled, kUnavailable, kSuccess}));
}

TEST(PrintRequestGate, EveryEndOfARequestOpensTheGateAgain) {
    struct Case {
        const char* what;
        std::u16string chosen;
        std::optional<PrintOutcome> refusal;
        const char* json;
    };
    const Case cases[] = {
        {"a cancel", u"", std::nullopt, kCancelled},
        {"an engine that cannot start", u"Lab", PrintOutcome::kNoPrintApi, kNoApi},
    };
    for (const Case& c : cases) {
        PrintRequestGate gate;
        FakeEngine engine;
        engine.refusal = c.refusal;
        Posted posted;
        gate.Run(Choose(c.chosen), engine, posted.Poster());
        EXPECT_FALSE(gate.IsOpen()) << c.what;
        engine.refusal.reset();
        gate.Run(Choose(u"Hall"), engine, posted.Poster());
        EXPECT_EQ(engine.printers.back(), u"Hall") << c.what;
        EXPECT_EQ(posted.messages, std::vector<std::string>{c.json}) << c.what;
    }
}

TEST(PrintRequestGate, AJobMayEndAfterTheGateIsGone) {
    FakeEngine engine;
    Posted posted;
    {
        PrintRequestGate gate;
        gate.Run(Choose(u"Lab"), engine, posted.Poster());
    }
    engine.completions[0](PrintCompletion{0, PrintJobStatus::kSucceeded});
    EXPECT_EQ(posted.messages, std::vector<std::string>{kSuccess});
}

TEST(PrintJobStatusFromCode, KnowsSucceededAndUnavailableAndNothingElse) {
    EXPECT_EQ(PrintJobStatusFromCode(0), PrintJobStatus::kSucceeded);
    EXPECT_EQ(PrintJobStatusFromCode(1), PrintJobStatus::kPrinterUnavailable);
    for (int code : {2, 3, -1, 1000}) {
        EXPECT_EQ(PrintJobStatusFromCode(code), PrintJobStatus::kOtherError) << code;
    }
}

}  // namespace
}  // namespace kestrum
