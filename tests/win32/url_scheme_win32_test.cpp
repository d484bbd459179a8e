#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "app/url_scheme.h"

namespace kestrum {
namespace {

struct RegistryText {
    bool found = false;
    DWORD type = 0;
    DWORD bytes = 0;
    std::u16string text;
};

// Read back from the user's classes: Wine does not merge them into HKEY_CLASSES_ROOT.
RegistryText ReadUserText(const std::u16string& path, const wchar_t* name) {
    RegistryText value;
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, reinterpret_cast<const wchar_t*>(path.c_str()), 0,
                      KEY_READ, &key) != ERROR_SUCCESS) {
        return value;
    }
    wchar_t buffer[1024] = {};
    DWORD bytes = sizeof(buffer) - sizeof(wchar_t);
    if (RegQueryValueExW(key, name, nullptr, &value.type, reinterpret_cast<BYTE*>(buffer),
                         &bytes) == ERROR_SUCCESS) {
        value.found = true;
        value.bytes = bytes;
        value.text = reinterpret_cast<const char16_t*>(buffer);
    }
    RegCloseKey(key);
    return value;
}

class UrlSchemeWin32 : public ::testing::Test {
  protected:
    void SetUp() override { RemoveScheme(); }
    void TearDown() override { RemoveScheme(); }
    void RemoveScheme() { RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Classes\\kestrum-test"); }

    static void ExpectText(const std::u16string& path, const wchar_t* name,
                           const std::u16string& expected) {
        const RegistryText value = ReadUserText(path, name);
        ASSERT_TRUE(value.found) << std::string(path.begin(), path.end());
        EXPECT_EQ(value.type, static_cast<DWORD>(REG_SZ));
        EXPECT_EQ(value.text, expected);
        // The terminating zero is part of the stored data.
        EXPECT_EQ(value.bytes, (expected.size() + 1) * 2);
    }

    const std::u16string key = u"Software\\Classes\\kestrum-test";
};

TEST_F(UrlSchemeWin32, WritesTheHandlerForTheExecutableThatRanLast) {
    struct Case {
        std::u16string executable;
        std::u16string command;
    };
    // The second start from another folder replaces the first registration.
    const Case cases[] = {
        {u"C:\\Program Files\\Kestrum\\kestrum.exe",
         u"\"C:\\Program Files\\Kestrum\\kestrum.exe\" \"%1\""},
        {u"D:\\kestrum.exe", u"\"D:\\kestrum.exe\" \"%1\""},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(RegisterUrlScheme(u"kestrum-test", u"Molvane Desktop Player", c.executable));
        ExpectText(key, nullptr, u"Molvane Desktop Player");
        ExpectText(key, L"URL Protocol", u"");
        ExpectText(key + u"\\DefaultIcon", nullptr, c.executable + u",1");
        ExpectText(key + u"\\shell\\open\\command", nullptr, c.command);
    }
}

}  // namespace
}  // namespace kestrum
