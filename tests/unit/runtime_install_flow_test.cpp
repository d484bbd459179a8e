#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "app/download_progress_text.h"
#include "app/runtime_install_flow.h"
#include "common/text_encoding.h"

namespace kestrum {
namespace {

// Answers each step as the case says and writes down the steps taken, in order.
class ScriptedSteps final : public RuntimeInstallSteps {
  public:
    bool privateRuntime = false;
    bool installedBefore = false;
    bool installedAfter = false;
    bool accepts = true;
    InstallerDownload download = InstallerDownload::kDone;
    std::string log;

    bool PrivateRuntimeAvailable() override { return privateRuntime; }
    bool InstalledRuntimeAvailable() override {
        log += ran_ ? "query-after " : "query ";
        return ran_ ? installedAfter : installedBefore;
    }
    bool LearnerAcceptsInstall() override {
        log += "ask ";
        return accepts;
    }
    void TellInstallStarts() override { log += "installing-box "; }
    InstallerDownload DownloadInstaller() override {
        log += "download ";
        return download;
    }
    void TellDownloadFailed() override { log += "download-error-box "; }
    void RunInstaller() override {
        log += "run ";
        ran_ = true;
    }
    void DeleteInstaller() override { log += "delete "; }
    void TellInstallFailed() override { log += "installation-box "; }

  private:
    bool ran_ = false;
};

TEST(RuntimeInstallFlow, EachOutcomeLeadsToItsBoxesAndResult) {
    struct Case {
        const char* name;
        bool privateRuntime, installedBefore, accepts;
        InstallerDownload download;
        bool installedAfter;
        bool result;
        const char* log;
    };
    const Case cases[] = {
        {"private runtime", true, false, true, InstallerDownload::kDone, false, true, ""},
        {"installed runtime", false, true, true, InstallerDownload::kDone, false, true, "query "},
        {"declined", false, false, false, InstallerDownload::kDone, false, false, "query ask "},
        {"download fails", false, false, true, InstallerDownload::kFailed, false, false,
         "query ask installing-box download download-error-box "},
        {"download cancelled", false, false, true, InstallerDownload::kCancelled, false, false,
         "query ask installing-box download "},
        {"installed", false, false, true, InstallerDownload::kDone, true, true,
         "query ask installing-box download run query-after delete "},
        {"installer did not install", false, false, true, InstallerDownload::kDone, false, false,
         "query ask installing-box download run query-after installation-box "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedSteps steps;
        steps.privateRuntime = c.privateRuntime;
        steps.installedBefore = c.installedBefore;
        steps.accepts = c.accepts;
        steps.download = c.download;
        steps.installedAfter = c.installedAfter;
        EXPECT_EQ(EnsureRuntimeThrough(steps), c.result);
        EXPECT_EQ(steps.log, c.log);
    }
}

TEST(DownloadProgressText, BytesAndShareAsTheLearnerReadsThem) {
    constexpr std::uint64_t kMiB = 1024 * 1024;
    struct Case {
        std::uint64_t received;
        std::optional<std::uint64_t> total;
        std::optional<int> percent;
        const char* text;
    };
    const Case cases[] = {
        {0, std::nullopt, std::nullopt, "0 KB"},
        {1023, std::nullopt, std::nullopt, "0 KB"},
        {512 * 1024, std::nullopt, std::nullopt, "512 KB"},
        {kMiB - 1, std::nullopt, std::nullopt, "1023 KB"},
        {kMiB, std::nullopt, std::nullopt, "1.0 MB"},
        {0, 0, std::nullopt, "0 KB"},  // an empty total says nothing of the share
        {3 * kMiB / 2, 2 * kMiB, 75, "1.5 MB of 2.0 MB (75%)"},
        {kMiB - 1, kMiB, 99, "1023 KB of 1.0 MB (99%)"},  // rounded down, never 100 early
        {2 * kMiB, 2 * kMiB, 100, "2.0 MB of 2.0 MB (100%)"},
        {3 * kMiB, 2 * kMiB, 100, "3.0 MB of 2.0 MB (100%)"},  // more than announced
        {1740 * kMiB, 1750 * kMiB, 99, "1740.0 MB of 1750.0 MB (99%)"},
        {UINT64_MAX - 1, UINT64_MAX, 99, nullptr},  // no overflow on absurd counts
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.received));
        EXPECT_EQ(DownloadPercent(c.received, c.total), c.percent);
        if (c.text) {
            EXPECT_EQ(Utf16ToUtf8(DownloadProgressText(c.received, c.total)), c.text);
        }
    }
}

}  // namespace
}  // namespace kestrum
