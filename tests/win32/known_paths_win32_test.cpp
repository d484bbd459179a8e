#include <windows.h>
// after windows.h
#include <gtest/gtest.h>
#include <knownfolders.h>
#include <shellapi.h>
#include <shlobj.h>

#include <cwctype>
#include <optional>
#include <string>
#include <vector>

#include "common/win32/known_paths_win32.h"

namespace kestrum {
namespace {

bool IsDirectory(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

std::wstring Lower(std::wstring text) {
    for (wchar_t& c : text) {
        c = static_cast<wchar_t>(std::towlower(c));
    }
    return text;
}

// A fresh folder under the system's temporary folder, removed with what it holds.
class ScratchFolder {
  public:
    ScratchFolder() {
        wchar_t base[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, base);
        path_ = std::wstring(base) + L"kestrum-paths-" + std::to_wstring(GetCurrentProcessId());
        CreateDirectoryW(path_.c_str(), nullptr);
    }
    ~ScratchFolder() {
        std::wstring from = path_;
        from.push_back(L'\0');  // the shell wants a list ending in two terminators
        SHFILEOPSTRUCTW operation = {};
        operation.wFunc = FO_DELETE;
        operation.pFrom = from.c_str();
        operation.fFlags = FOF_NO_UI;
        SHFileOperationW(&operation);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    const std::wstring& path() const { return path_; }

  private:
    std::wstring path_;
};

// Sets an environment variable for one test and puts the old value back.
class ScopedEnvironment {
  public:
    ScopedEnvironment(const wchar_t* name, const std::wstring& value) : name_(name) {
        const DWORD size = GetEnvironmentVariableW(name, nullptr, 0);
        if (size != 0) {
            std::wstring old(size, L'\0');
            old.resize(GetEnvironmentVariableW(name, old.data(), size));
            old_ = old;
        }
        SetEnvironmentVariableW(name, value.c_str());
    }
    ~ScopedEnvironment() { SetEnvironmentVariableW(name_, old_ ? old_->c_str() : nullptr); }
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

  private:
    const wchar_t* name_;
    std::optional<std::wstring> old_;
};

// Points the user's local application data at another folder for one test.
class ScopedLocalAppData {
  public:
    explicit ScopedLocalAppData(const std::wstring& folder) {
        RegCreateKeyExW(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr,
                        &key_, nullptr);
        DWORD type = 0;
        DWORD bytes = 0;
        if (RegQueryValueExW(key_, kValue, nullptr, &type, nullptr, &bytes) == ERROR_SUCCESS) {
            old_.emplace(bytes / sizeof(wchar_t) + 1, L'\0');
            RegQueryValueExW(key_, kValue, nullptr, &type, reinterpret_cast<BYTE*>(old_->data()),
                             &bytes);
            oldType_ = type;
        }
        Write(REG_EXPAND_SZ, folder);
    }
    ~ScopedLocalAppData() {
        if (old_) {
            Write(oldType_, old_->c_str());
        } else {
            RegDeleteValueW(key_, kValue);
        }
        RegCloseKey(key_);
    }
    ScopedLocalAppData(const ScopedLocalAppData&) = delete;
    ScopedLocalAppData& operator=(const ScopedLocalAppData&) = delete;

  private:
    static constexpr const wchar_t* kKey =
        L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
    static constexpr const wchar_t* kValue = L"Local AppData";

    void Write(DWORD type, const std::wstring& value) {
        RegSetValueExW(key_, kValue, 0, type, reinterpret_cast<const BYTE*>(value.c_str()),
                       static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    }

    HKEY key_ = nullptr;
    std::optional<std::wstring> old_;
    DWORD oldType_ = REG_EXPAND_SZ;
};

TEST(KnownPathsWin32, FolderOfPathCutsBeforeTheLastSeparator) {
    struct Case {
        const wchar_t* path;
        const wchar_t* folder;
    };
    const std::vector<Case> cases = {
        {L"C:\\Program Files\\Kestrum\\Kestrum.exe", L"C:\\Program Files\\Kestrum"},
        {L"C:/Tools/Kestrum.exe", L"C:/Tools"},
        {L"C:\\a/b\\c/Kestrum.exe", L"C:\\a/b\\c"},
        {L"C:\\Kestrum.exe", L"C:"},
        {L"\\\\server\\share\\Kestrum.exe", L"\\\\server\\share"},
        {L"Kestrum.exe", L"Kestrum.exe"},  // no separator: the whole name
        {L"", L""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FolderOfPath(c.path), c.folder) << "path: " << testing::PrintToString(c.path);
    }
}

TEST(KnownPathsWin32, ModuleAndProgramFolderNameThisExecutable) {
    const std::wstring module = ModuleFilePath();
    ASSERT_FALSE(module.empty());
    const std::wstring fileName = L"\\kestrum_win32_tests.exe";
    ASSERT_GT(module.size(), fileName.size());
    EXPECT_EQ(Lower(module.substr(module.size() - fileName.size())), fileName);
    const DWORD attributes = GetFileAttributesW(module.c_str());
    ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(attributes & FILE_ATTRIBUTE_DIRECTORY, 0u);

    const std::wstring folder = ProgramFolder();
    EXPECT_EQ(folder, module.substr(0, module.size() - fileName.size()));
    EXPECT_TRUE(IsDirectory(folder));
}

TEST(KnownPathsWin32, TempFolderFollowsTmpAndIsEmptyWhenItDoesNotFit) {
    ScratchFolder scratch;
    {
        ScopedEnvironment tmp(L"TMP", scratch.path());
        EXPECT_EQ(TempFolder(), scratch.path() + L"\\");
    }
    {
        // 300 characters cannot come back whole in 260.
        ScopedEnvironment tmp(L"TMP", L"C:\\" + std::wstring(297, L'x'));
        EXPECT_EQ(TempFolder(), L"");
    }
    const std::wstring usual = TempFolder();
    ASSERT_FALSE(usual.empty());
    EXPECT_EQ(usual.back(), L'\\');
    EXPECT_TRUE(IsDirectory(usual));
}

TEST(KnownPathsWin32, LocalAppDataIsTheLocalNotTheRoamingFolder) {
    PWSTR known = nullptr;
    ASSERT_TRUE(SUCCEEDED(SHGetKnownFolderPath(FOLDERID_LocalAppData, 0, nullptr, &known)));
    const std::wstring expected = known;
    CoTaskMemFree(known);
    EXPECT_EQ(LocalAppDataFolder(), expected);
    EXPECT_TRUE(IsDirectory(expected));
}

TEST(KnownPathsWin32, BrowserDataBaseCreatesOnlyTheProductFolder) {
    ScratchFolder scratch;
    ScopedLocalAppData redirected(scratch.path());
    ASSERT_EQ(LocalAppDataFolder(), scratch.path());

    EXPECT_EQ(BrowserDataFolderBase(), scratch.path() + L"\\Kestrum\\WebView2Data");
    EXPECT_TRUE(IsDirectory(scratch.path() + L"\\Kestrum"));
    // The browser adds its own suffix to the base: the base itself is never made.
    EXPECT_EQ(GetFileAttributesW((scratch.path() + L"\\Kestrum\\WebView2Data").c_str()),
              INVALID_FILE_ATTRIBUTES);

    // An existing product folder is no failure.
    EXPECT_EQ(BrowserDataFolderBase(), scratch.path() + L"\\Kestrum\\WebView2Data");
}

// A local application data folder that the system cannot give: no base at all. A base made
// of the rest, "\Kestrum\WebView2Data", would land at the root of the current drive.
TEST(KnownPathsWin32, BrowserDataBaseIsEmptyWithoutLocalAppData) {
    ScratchFolder scratch;
    const std::wstring missing = scratch.path() + L"\\missing";
    ScopedLocalAppData redirected(missing);
    wchar_t previous[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, previous);
    ASSERT_TRUE(SetCurrentDirectoryW(scratch.path().c_str()));

    EXPECT_EQ(LocalAppDataFolder(), L"");
    EXPECT_EQ(BrowserDataFolderBase(), L"");
    EXPECT_EQ(GetFileAttributesW(L"\\Kestrum"), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetFileAttributesW(missing.c_str()), INVALID_FILE_ATTRIBUTES);
    SetCurrentDirectoryW(previous);
}

}  // namespace
}  // namespace kestrum
