#include <windows.h>
// after windows.h
#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "resources/resources.h"

namespace kestrum {
namespace {

// The bytes of one resource of this program, or nothing.
std::string_view OwnResource(const wchar_t* type, WORD id) {
    HMODULE self = GetModuleHandleW(nullptr);
    HRSRC found = FindResourceW(self, MAKEINTRESOURCEW(id), type);
    if (found == nullptr) {
        return {};
    }
    HGLOBAL loaded = LoadResource(self, found);
    const void* bytes = loaded != nullptr ? LockResource(loaded) : nullptr;
    if (bytes == nullptr) {
        return {};
    }
    return {static_cast<const char*>(bytes), SizeofResource(self, found)};
}

std::vector<BYTE> OwnVersionInfo() {
    wchar_t path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        return {};
    }
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeW(path, &handle);
    std::vector<BYTE> info(size);
    if (size == 0 || !GetFileVersionInfoW(path, 0, size, info.data())) {
        return {};
    }
    return info;
}

TEST(ResourcesWin32, SplashImageIsTheEmbeddedPng) {
    const std::string_view splash = OwnResource(MAKEINTRESOURCEW(10) /* RT_RCDATA */, 102);
    ASSERT_FALSE(splash.empty());
    EXPECT_EQ(splash, SplashPng());
}

TEST(ResourcesWin32, IconGroupLoadsAtEverySize) {
    HMODULE self = GetModuleHandleW(nullptr);
    EXPECT_NE(LoadIconW(self, MAKEINTRESOURCEW(101)), nullptr);
    for (const int size : {16, 32, 48, 256}) {
        HANDLE icon = LoadImageW(self, MAKEINTRESOURCEW(101), IMAGE_ICON, size, size, 0);
        ASSERT_NE(icon, nullptr) << size;
        ICONINFO info{};
        ASSERT_TRUE(GetIconInfo(static_cast<HICON>(icon), &info)) << size;
        BITMAP colour{};
        ASSERT_NE(info.hbmColor, nullptr) << size;
        GetObjectW(info.hbmColor, sizeof(colour), &colour);
        EXPECT_EQ(colour.bmWidth, size);
        EXPECT_EQ(colour.bmHeight, size);
        DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
        DestroyIcon(static_cast<HICON>(icon));
    }
}

TEST(ResourcesWin32, VersionInformationNamesTheRelease) {
    std::vector<BYTE> info = OwnVersionInfo();
    ASSERT_FALSE(info.empty());

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT fixedSize = 0;
    ASSERT_TRUE(VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &fixedSize));
    ASSERT_GE(fixedSize, sizeof(VS_FIXEDFILEINFO));
    EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
    const DWORD high = MAKELONG(kVersionParts[1], kVersionParts[0]);
    const DWORD low = MAKELONG(kVersionParts[3], kVersionParts[2]);
    EXPECT_EQ(fixed->dwFileVersionMS, high);
    EXPECT_EQ(fixed->dwFileVersionLS, low);
    EXPECT_EQ(fixed->dwProductVersionMS, high);
    EXPECT_EQ(fixed->dwProductVersionLS, low);

    struct Value {
        const wchar_t* name;
        std::wstring expected;
    };
    const Value values[] = {
        {L"FileVersion", L"4.11.0.0"},
        {L"ProductVersion", L"4.11.0.0"},
        {L"ProductName", L"Kestrum"},
        {L"CompanyName", L"Molvane"},
    };
    for (const Value& value : values) {
        const std::wstring key = std::wstring(L"\\StringFileInfo\\040904b0\\") + value.name;
        wchar_t* text = nullptr;
        UINT characters = 0;
        ASSERT_TRUE(
            VerQueryValueW(info.data(), key.c_str(), reinterpret_cast<void**>(&text), &characters))
            << std::string(key.begin(), key.end());
        EXPECT_EQ(std::wstring(text), value.expected) << std::string(key.begin(), key.end());
    }
    wchar_t* description = nullptr;
    UINT characters = 0;
    ASSERT_TRUE(VerQueryValueW(info.data(), L"\\StringFileInfo\\040904b0\\FileDescription",
                               reinterpret_cast<void**>(&description), &characters));
    EXPECT_GT(std::wstring(description).size(), 0u);
}

TEST(ResourcesWin32, ManifestAsksForTheCallersRights) {
    const std::string_view manifest = OwnResource(MAKEINTRESOURCEW(24) /* RT_MANIFEST */, 1);
    ASSERT_FALSE(manifest.empty());
    EXPECT_NE(manifest.find(R"(level="asInvoker")"), std::string_view::npos);
    EXPECT_NE(manifest.find(R"(uiAccess="false")"), std::string_view::npos);
    // Windows 10's compatibility identifier.
    EXPECT_NE(manifest.find("8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a"), std::string_view::npos);
}

}  // namespace
}  // namespace kestrum
