#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "common/app_context.h"
#include "common/debug_log.h"
#include "common/log_timestamp.h"
#include "common/platform_profile.h"
#include "common/rotating_log_file.h"
#include "common/support_log.h"
#include "common/text_encoding.h"
#include "link/scheme_args.h"
#include "tests/support/reference_crypto.h"

namespace kestrum {
namespace {

namespace fs = std::filesystem;

// A fresh folder under the system's temporary folder, removed afterwards.
class TempFolder {
  public:
    TempFolder() {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        path_ = fs::temp_directory_path() /
                ("kestrum-log-test-" + std::string(info->name()) + "-" +
                 std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()));
        fs::create_directories(path_);
    }
    ~TempFolder() {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    const fs::path& path() const { return path_; }

  private:
    fs::path path_;
};

std::vector<std::string> ReadLines(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

TEST(LogTimestamp, IsUtcIso8601WithMilliseconds) {
    using namespace std::chrono;
    struct Case {
        sys_time<milliseconds> when;
        const char* expected;
    };
    const Case cases[] = {
        {sys_days{1970y / January / 1}, "1970-01-01T00:00:00.000Z"},
        {sys_days{2024y / February / 29} + 23h + 59min + 59s + 7ms, "2024-02-29T23:59:59.007Z"},
        {sys_days{2026y / December / 11} + 1h + 2min + 3s + 450ms, "2026-12-11T01:02:03.450Z"},
        // Before 1970 the milliseconds still count forwards within the second.
        {sys_days{1969y / December / 31} + 23h + 59min + 59s + 999ms, "1969-12-31T23:59:59.999Z"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FormatLogTimestamp(c.when), c.expected);
}

TEST(RotatingLogFile, KeepsOnePreviousGenerationAndEveryRecentLine) {
    TempFolder folder;
    RotatingLogFile log(folder.path() / "kestrum.log", 100);
    // 20 lines of 10 bytes: every tenth line starts a new file.
    for (int i = 0; i < 20; ++i) {
        char line[16];
        std::snprintf(line, sizeof line, "line %04d", i);
        ASSERT_TRUE(log.Append(line));
    }
    const auto current = ReadLines(log.file());
    const auto previous = ReadLines(log.previousFile());
    EXPECT_LE(fs::file_size(log.file()), 100u);
    EXPECT_LE(fs::file_size(log.previousFile()), 100u);
    EXPECT_FALSE(fs::exists(folder.path() / "kestrum.log.2"));
    ASSERT_EQ(previous.size(), 10u);
    ASSERT_EQ(current.size(), 10u);
    EXPECT_EQ(previous.front(), "line 0000");  // the second rotation was never reached
    EXPECT_EQ(current.front(), "line 0010");
    EXPECT_EQ(current.back(), "line 0019");

    // One more line rotates again: the oldest generation is gone.
    ASSERT_TRUE(log.Append("line 0020"));
    EXPECT_EQ(ReadLines(log.previousFile()).front(), "line 0010");
    EXPECT_EQ(ReadLines(log.file()), std::vector<std::string>{"line 0020"});
}

TEST(RotatingLogFile, WritesALineLongerThanTheLimitWhole) {
    TempFolder folder;
    RotatingLogFile log(folder.path() / "kestrum.log", 16);
    const std::string longLine(40, 'x');
    ASSERT_TRUE(log.Append(longLine));
    ASSERT_TRUE(log.Append("short"));
    EXPECT_EQ(ReadLines(log.previousFile()), std::vector<std::string>{longLine});
    EXPECT_EQ(ReadLines(log.file()), std::vector<std::string>{"short"});
}

TEST(RotatingLogFile, ReportsAFileThatCannotBeOpenedWithoutThrowing) {
    TempFolder folder;
    // A folder where the file should be, and a path through a file: neither can be written.
    fs::create_directories(folder.path() / "kestrum.log");
    std::ofstream(folder.path() / "plain") << "x";
    RotatingLogFile onFolder(folder.path() / "kestrum.log", 1024);
    RotatingLogFile throughFile(folder.path() / "plain" / "kestrum.log", 1024);
    EXPECT_FALSE(onFolder.Append("lost"));
    EXPECT_FALSE(throughFile.Append("lost"));
}

// Several threads at once, with rotation under way: every line arrives whole, in one of
// the two files, none twice.
TEST(RotatingLogFile, KeepsLinesWholeWhenThreadsWriteAtOnce) {
    TempFolder folder;
    constexpr int kThreads = 6;
    constexpr int kLinesEach = 150;
    RotatingLogFile log(folder.path() / "kestrum.log", 32 * 1024);  // about 52 KiB written
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&log, t] {
            for (int i = 0; i < kLinesEach; ++i)
                log.Append("thread " + std::to_string(t) + " line " + std::to_string(i) + " " +
                           std::string(40, static_cast<char>('a' + t)));
        });
    }
    for (std::thread& thread : threads)
        thread.join();

    auto lines = ReadLines(log.previousFile());
    const auto current = ReadLines(log.file());
    ASSERT_FALSE(lines.empty()) << "the test meant to cross a rotation";
    lines.insert(lines.end(), current.begin(), current.end());
    ASSERT_EQ(lines.size(), static_cast<std::size_t>(kThreads * kLinesEach));
    const std::regex whole("thread ([0-9]) line ([0-9]+) ([a-f])\\3{39}");
    std::vector<std::vector<int>> seen(kThreads, std::vector<int>(kLinesEach, 0));
    for (const std::string& line : lines) {
        std::smatch match;
        ASSERT_TRUE(std::regex_match(line, match, whole)) << line;
        const int t = std::stoi(match[1]);
        ASSERT_EQ(match[3].str()[0], 'a' + t);
        ++seen[t][std::stoi(match[2])];
    }
    for (const auto& counts : seen)
        for (int count : counts)
            EXPECT_EQ(count, 1);
}

TEST(SupportLog, StampsLinesAndKeepsSecretsAndControlCharactersOut) {
    TempFolder folder;
    // A user name beyond ASCII, as many learners have: the path must reach the system whole.
    const fs::path logFolder = folder.path() / fs::path(u8"\u00e9tat-\u65e5\u672c") / "kestrum";
    SupportLog log;
    ASSERT_TRUE(log.Start(logFolder));
    log.Withhold("tok/+=1");
    log.Withhold("https://platform.example/");
    log.Withhold("https://platform.example");
    log.Withhold("7");
    log.Write("Decrypted OK. Domain: https://platform.example/");
    log.Write("Refused: https://platform.example/x?t=tok/+=1");
    // The token as an address carries it, in either case of hexadecimal digits.
    log.Write("Refused: https://other.example/?t=tok%2f%2b%3d1&u=tok%2F%2B%3D1");
    // A short number where it stands for itself, not inside other numbers.
    log.Write("Content 7: /content/7?v=7x, length 722, 17 pages");
    log.Write("forged\n2026-01-01T00:00:00.000Z Decrypted OK");
    // A whole document as an address: cut, after the secrets in it were withheld.
    log.Write("Refused: data:text/html," + std::string(kSupportLogLineLimit, 'x') + "tok/+=1");
    log.Write("Refused: data:text/html," + std::string(kSupportLogLineLimit - 35, 'y') +
              "tok/+=1 and more to cut");
    log.Stop();
    log.Write("after stop");

    const auto lines = ReadLines(logFolder / kSupportLogFileName);
    const std::string stamp = "[0-9]{4}-[0-9]{2}-[0-9]{2}T[0-9]{2}:[0-9]{2}:[0-9]{2}\\.[0-9]{3}Z ";
    const std::vector<std::string> expected = {
        "Decrypted OK. Domain: [withheld]",
        "Refused: [withheld]x?t=[withheld]",
        "Refused: https://other.example/?t=[withheld]&u=[withheld]",
        "Content [withheld]: /content/[withheld]?v=[withheld]x, length 722, 17 pages",
        "forged?2026-01-01T00:00:00.000Z Decrypted OK",
        "Refused: data:text/html," + std::string(kSupportLogLineLimit - 30, 'x') + " [cut]",
        "Refused: data:text/html," + std::string(kSupportLogLineLimit - 35, 'y') + "[with [cut]",
    };
    ASSERT_EQ(lines.size(), expected.size());
    for (std::size_t i = 0; i < lines.size(); ++i) {
        EXPECT_TRUE(std::regex_match(lines[i], std::regex(stamp + ".*"))) << lines[i];
        EXPECT_EQ(lines[i].substr(25), expected[i]);
    }
#ifndef _WIN32
    // A folder it makes is the learner's alone.
    EXPECT_EQ(fs::status(logFolder).permissions() & fs::perms::all, fs::perms::owner_all);
#endif
}

TEST(SupportLog, AFolderThatCannotBeMadeLeavesTheLogOff) {
    TempFolder folder;
    std::ofstream(folder.path() / "plain") << "x";
    SupportLog log;
    EXPECT_FALSE(log.Start(folder.path() / "plain" / "kestrum"));
    EXPECT_FALSE(log.Start({}));
    log.Write("goes nowhere, and does not throw");
    EXPECT_FALSE(fs::exists(folder.path() / "plain" / "kestrum"));
}

// The player's own path: a decoded link, then trace lines through this platform's debug log
// (the debugger on Windows, standard error on Linux) into the process's support log.
TEST(SupportLog, TheTraceOfADecodedLinkKeepsTheLinksValuesOut) {
    TempFolder folder;
    ASSERT_TRUE(StartSupportLog(folder.path()));
    const std::string token = "learner-token-5f3a9c", content = "https://cdn.example.test/v/77.mp4",
                      server = "https://platform.example.test/";
    const std::string key = RestoreProfileSecret(ProfileItem::kLinkKey).value();
    const std::u16string link = u"kestrum:" + Utf8ToUtf16(reference::Envelope(token, key)) + u":" +
                                Utf8ToUtf16(reference::Envelope(content, key)) + u":" +
                                Utf8ToUtf16(reference::Envelope(server, key));
    AppContext context;
    std::string error;
    ASSERT_TRUE(ParseSchemeArgs(link, error, context, LinkServices{})) << error;
    DebugLog("Navigation refused before its request: " + content + "?token=" + token);
    TheSupportLog().Stop();

    // Other tests in this process may have withheld short values of their own, which blot
    // words here too: so the lines are counted, not read word for word.
    const auto lines = ReadLines(folder.path() / kSupportLogFileName);
    EXPECT_EQ(lines.size(), 5u);  // called, decrypted, direct address, succeeded, refused
    std::string text;
    for (const std::string& line : lines)
        text += line + "\n";
    for (const std::string& value : {token, content, server, std::string("platform.example")})
        EXPECT_EQ(text.find(value), std::string::npos) << value << " in:\n" << text;
}

}  // namespace
}  // namespace kestrum
