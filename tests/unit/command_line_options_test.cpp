#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/command_line_options.h"

namespace kestrum {
namespace {

struct OptionCase {
    const char* name;
    std::vector<std::u16string> arguments;
    CommandLineAction action;
    int exitCode;
    const char* textHolds;  // a piece the printed text must hold ("" when nothing is printed)
};

TEST(CommandLineOptions, FirstArgumentDecidesBeforeAnythingStarts) {
    const std::vector<OptionCase> cases = {
        {"nothing", {}, CommandLineAction::kRun, 0, ""},
        {"link", {u"kestrum:abc:def:ghi"}, CommandLineAction::kRun, 0, ""},
        {"link in upper case", {u"KESTRUM:abc"}, CommandLineAction::kRun, 0, ""},
        // A launcher may hand a link over behind a dash; it is still a link.
        {"dash then link", {u"-kestrum:abc"}, CommandLineAction::kRun, 0, ""},
        {"empty first argument", {u"", u"kestrum:abc"}, CommandLineAction::kRun, 0, ""},
        {"free text", {u"hello"}, CommandLineAction::kRun, 0, ""},
        {"help", {u"--help"}, CommandLineAction::kShowHelp, 0, "--version"},
        {"short help", {u"-h"}, CommandLineAction::kShowHelp, 0, "Usage: kestrum"},
        {"version", {u"--version"}, CommandLineAction::kShowVersion, 0, "Kestrum 4.11.0\n"},
        {"short version", {u"-V"}, CommandLineAction::kShowVersion, 0, "4.11.0"},
        {"version before junk",
         {u"--version", u"--xyz"},
         CommandLineAction::kShowVersion,
         0,
         "4.11.0"},
        {"unknown long", {u"--xyz"}, CommandLineAction::kRefuse, 2, "unknown option '--xyz'"},
        {"unknown short", {u"-v"}, CommandLineAction::kRefuse, 2, "'-v'"},
        {"help spelt wrong", {u"--HELP"}, CommandLineAction::kRefuse, 2, "--help"},
        {"lone dash", {u"-"}, CommandLineAction::kRefuse, 2, "unknown option '-'"},
        {"option after a link is the link's business",
         {u"kestrum:abc", u"--xyz"},
         CommandLineAction::kRun,
         0,
         ""},
    };
    for (const OptionCase& c : cases) {
        SCOPED_TRACE(c.name);
        const CommandLineDecision decision = DecideCommandLine(c.arguments);
        EXPECT_EQ(decision.action, c.action);
        EXPECT_EQ(decision.exitCode, c.exitCode);
        if (c.textHolds[0] == '\0')
            EXPECT_TRUE(decision.text.empty());
        else
            EXPECT_NE(decision.text.find(c.textHolds), std::string::npos) << decision.text;
    }
}

TEST(CommandLineOptions, TextsEndInANewLine) {
    for (const char16_t* option : {u"--help", u"--version", u"--xyz"}) {
        const std::string text = DecideCommandLine({option}).text;
        ASSERT_FALSE(text.empty());
        EXPECT_EQ(text.back(), '\n');
    }
}

}  // namespace
}  // namespace kestrum
