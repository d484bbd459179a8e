// Which update addresses the shell is asked to open.
#include <gtest/gtest.h>

#include "app/win32/update_address_win32.h"

namespace kestrum {
namespace {

TEST(UpdateAddress, OnlyPlainHttpsAddressesReachTheShell) {
    struct Case {
        std::u16string address;
        bool openable;
    } cases[] = {
        {u"https://files.example.test/desktop/kestrum/kestrum.exe", true},
        {u"HTTPS://files.example.test/kestrum.exe?v=4.12", true},
        {u"http://files.example.test/kestrum.exe", false},
        {u"https://", false},
        {u"https:///path", false},
        {u"file:///C:/Windows/System32/calc.exe", false},
        {u"C:\\Windows\\System32\\calc.exe", false},
        {u"calc.exe", false},
        {u"-https://files.example.test/", false},
        {u"https://files.example.test/a b", false},
        {u"https://files.example.test/\"x\"", false},
        {u"https://files.example.test/\nsecond", false},
        {u"https://files.example.test/a\\..\\b", false},
        {u"", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IsOpenableUpdateAddress(c.address), c.openable)
            << std::string(c.address.begin(), c.address.end());
    }
}

TEST(UpdateAddress, ARefusedAddressIsNeverOpened) {
    EXPECT_FALSE(OpenUpdateAddress(u"file:///C:/Windows/System32/calc.exe"));
}

}  // namespace
}  // namespace kestrum
