#include <gtest/gtest.h>

#include "app/instance_name.h"
#include "app/link_argument.h"
#include "app/windows_generation.h"
#include "common/text_encoding.h"

namespace kestrum {
namespace {

TEST(InstanceName, GivesOneMutexPerStartMode) {
    EXPECT_EQ(InstanceKey(true), u"Kestrum|player");
    EXPECT_EQ(InstanceKey(false), u"Kestrum|init");
    EXPECT_EQ(InstanceMutexName(InstanceKey(true)),
              u"Local\\MolvanePlayer.WebView2.e43129514f59ccad");
    EXPECT_EQ(InstanceMutexName(InstanceKey(false)),
              u"Local\\MolvanePlayer.WebView2.fcafc8a911b9612a");
    // Letter case of the key does not matter.
    EXPECT_EQ(InstanceKeyHash(u"KESTRUM|PLAYER"), InstanceKeyHash(u"kestrum|player"));
}

TEST(WindowsGeneration, MapsVersionNumbers) {
    struct Case {
        OsVersion version;
        int generation;
    };
    const Case cases[] = {
        {{10, 0, 19045}, 10}, {{10, 0, 21999}, 10}, {{10, 0, 22000}, 11}, {{10, 0, 26100}, 11},
        {{6, 1, 7601}, 7},    {{6, 2, 9200}, 8},    {{6, 3, 9600}, 8},    {{6, 0, 6002}, 7},
        {{5, 1, 2600}, -1},   {{0, 0, 0}, -1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(WindowsGenerationOf(c.version), c.generation)
            << c.version.major << "." << c.version.minor << "." << c.version.build;
    }
}

TEST(LinkArgument, ChoosesTheLinkAndTheMode) {
    struct Case {
        const char* name;
        CommandLine commandLine;
        std::u16string argument;
        bool linkMode;
    };
    const Case cases[] = {
        {"no arguments", {{u"kestrum.exe"}, u""}, u"", false},
        {"upper-case scheme",
         {{u"kestrum.exe", u"KESTRUM:abc"}, u"KESTRUM:abc"},
         u"KESTRUM:abc",
         true},
        {"marker after other text",
         {{u"kestrum.exe", u"open kestrum:abc"}, u"\"open kestrum:abc\""},
         u"open kestrum:abc",
         true},
        {"empty first argument, link in the tail",
         {{u"kestrum.exe", u"", u"kestrum:abc"}, u"\"\" kestrum:abc"},
         u"\"\" kestrum:abc",
         true},
        {"empty first argument, upper-case link in the tail",
         {{u"kestrum.exe", u"", u"KESTRUM:abc"}, u"\"\" KESTRUM:abc"},
         u"",
         false},
        {"plain argument", {{u"kestrum.exe", u"--help"}, u"--help"}, u"--help", false},
    };
    for (const auto& c : cases) {
        const std::u16string argument = ChooseLinkArgument(c.commandLine);
        EXPECT_EQ(argument, c.argument) << c.name;
        EXPECT_EQ(HasSchemeArgs(argument), c.linkMode) << c.name;
    }
}

}  // namespace
}  // namespace kestrum
