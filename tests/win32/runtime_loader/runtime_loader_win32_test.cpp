// The runtime loader against stand-in engine libraries copied into runtime folders made by
// the test, and against the updater's registry entries written (and removed) by the test.
#include "browser/win32/runtime_loader_win32.h"

#include <gtest/gtest.h>
#include <objbase.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace kestrum {
namespace {

namespace fs = std::filesystem;

constexpr wchar_t kClientStateKey[] =
    L"Software\\Microsoft\\EdgeUpdate\\ClientState\\{F3017226-FE2A-4295-8BDF-00C3A9A7E4C5}";
constexpr char kStringVersion[] = "121.0.2277.83";

// Counts its calls and keeps the outcome it was given.
struct RecordingHandler {
    virtual HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void**) { return E_NOINTERFACE; }
    virtual ULONG STDMETHODCALLTYPE AddRef() { return 2; }
    virtual ULONG STDMETHODCALLTYPE Release() { return 1; }
    virtual HRESULT STDMETHODCALLTYPE Invoke(HRESULT result, IUnknown*) {
        ++calls;
        outcome = result;
        return S_OK;
    }
    int calls = 0;
    HRESULT outcome = E_UNEXPECTED;
};

ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler* AsHandler(RecordingHandler* h) {
    return reinterpret_cast<ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler*>(h);
}

fs::path ProgramFolder() {
    wchar_t path[MAX_PATH]{};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    return fs::path(path).parent_path();
}

struct VersionAnswer {
    HRESULT result;
    std::string version;  // "(null)" when no string came back
};

VersionAnswer AvailableVersion(const wchar_t* folder) {
    LPWSTR text = reinterpret_cast<LPWSTR>(1);
    const HRESULT result = GetAvailableCoreWebView2BrowserVersionString(folder, &text);
    VersionAnswer answer{result, "(null)"};
    if (text) {
        answer.version = fs::path(text).string();
        CoTaskMemFree(text);
    }
    return answer;
}

class RuntimeLoaderTest : public ::testing::Test {
  protected:
    void SetUp() override {
        root_ =
            fs::temp_directory_path() / ("kestrum-loader-" + std::to_string(GetCurrentProcessId()));
        fs::create_directories(root_);
        record_ = root_ / "record.txt";
        SetEnvironmentVariableW(L"KESTRUM_FAKE_RUNTIME_RECORD", record_.c_str());
        SetEnvironmentVariableW(L"WEBVIEW2_BROWSER_EXECUTABLE_FOLDER", nullptr);
        SetEnvironmentVariableW(L"WEBVIEW2_USER_DATA_FOLDER", nullptr);
        ClearRegistry();
    }
    void TearDown() override {
        ClearRegistry();
        std::error_code ignored;
        fs::remove_all(root_, ignored);
        fs::remove_all(relative_, ignored);
    }

    // A runtime folder holding the stand-in library `dll` (a file beside this program).
    fs::path MakeRuntime(const fs::path& folder, const char* dll = "fake_runtime.dll") {
        const fs::path target = folder / "EBWebView" / "x64";
        fs::create_directories(target);
        fs::copy_file(ProgramFolder() / dll, target / "EmbeddedBrowserWebView.dll",
                      fs::copy_options::overwrite_existing);
        return folder;
    }

    static void SetInstalledFolder(HKEY root, const fs::path& folder) {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExW(root, kClientStateKey, 0, nullptr, 0,
                                  KEY_SET_VALUE | KEY_WOW64_32KEY, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        const std::wstring text = folder.wstring();
        RegSetValueExW(key, L"EBWebView", 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                       static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
        RegCloseKey(key);
    }

    static void ClearRegistry() {
        for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER})
            RegDeleteKeyExW(root, kClientStateKey, KEY_WOW64_32KEY, 0);
    }

    std::string Record() const {
        std::ifstream in(record_);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

    fs::path root_, record_, relative_;
};

TEST_F(RuntimeLoaderTest, PrivateRuntimeFolderVersionAndCreation) {
    const fs::path runtime = MakeRuntime(root_ / "fixed");
    EXPECT_EQ(AvailableVersion(runtime.c_str()).version, kStringVersion);

    RecordingHandler handler;
    EXPECT_EQ(CreateCoreWebView2EnvironmentWithOptions(runtime.c_str(), L"C:\\data", nullptr,
                                                       AsHandler(&handler)),
              S_OK);
    EXPECT_EQ(handler.calls, 1);
    EXPECT_EQ(handler.outcome, S_OK);
    EXPECT_EQ(Record(), "1|1|C:\\data|(none)");
}

TEST_F(RuntimeLoaderTest, VersionFallsBackToTheFixedVersionNumbers) {
    const fs::path runtime = MakeRuntime(root_ / "fixed-only", "fake_runtime_fixed_version.dll");
    EXPECT_EQ(AvailableVersion(runtime.c_str()).version, "1.2.3.4");
}

TEST_F(RuntimeLoaderTest, RelativeFolderIsTakenFromTheProgramFolder) {
    const std::wstring name = L"kestrum-rel-" + std::to_wstring(GetCurrentProcessId());
    relative_ = MakeRuntime(ProgramFolder() / name);
    EXPECT_EQ(AvailableVersion(name.c_str()).version, kStringVersion);
}

TEST_F(RuntimeLoaderTest, FoldersThatCannotBackTheEngineFail) {
    MakeRuntime(root_ / "no-entry", "fake_runtime_without_entry.dll");
    const fs::path browser = MakeRuntime(root_ / "Edge" / "Application" / "121.0.2277.83");
    struct Case {
        fs::path folder;
        HRESULT versionResult, createResult;
    } cases[] = {
        {root_ / "missing", HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND),
         HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND)},
        {browser, HRESULT_FROM_WIN32(ERROR_NOT_SUPPORTED), HRESULT_FROM_WIN32(ERROR_NOT_SUPPORTED)},
        // A library without the creation entry has a version but creates nothing.
        {root_ / "no-entry", S_OK, HRESULT_FROM_WIN32(ERROR_PROC_NOT_FOUND)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.folder.string());
        const VersionAnswer answer = AvailableVersion(c.folder.c_str());
        EXPECT_EQ(answer.result, c.versionResult);
        if (FAILED(c.versionResult)) {
            EXPECT_EQ(answer.version, "(null)");
        }
        RecordingHandler handler;
        EXPECT_EQ(CreateCoreWebView2EnvironmentWithOptions(c.folder.c_str(), nullptr, nullptr,
                                                           AsHandler(&handler)),
                  c.createResult);
        EXPECT_EQ(handler.calls, 0);
    }
}

TEST_F(RuntimeLoaderTest, InstalledRuntimeFromTheUpdatersEntries) {
    EXPECT_EQ(AvailableVersion(nullptr).result, HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND));

    // Too old a build is passed over.
    SetInstalledFolder(HKEY_CURRENT_USER, MakeRuntime(root_ / "Application" / "100.0.1149.9"));
    EXPECT_EQ(AvailableVersion(nullptr).result, HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND));

    SetInstalledFolder(HKEY_CURRENT_USER, MakeRuntime(root_ / "Application" / "110.0.1587.5"));
    EXPECT_EQ(AvailableVersion(nullptr).version, "110.0.1587.5");

    // The machine-wide runtime comes first.
    SetInstalledFolder(HKEY_LOCAL_MACHINE, MakeRuntime(root_ / "Machine" / "120.0.2210.9"));
    EXPECT_EQ(AvailableVersion(nullptr).version, "120.0.2210.9");

    RecordingHandler handler;
    EXPECT_EQ(
        CreateCoreWebView2EnvironmentWithOptions(nullptr, nullptr, nullptr, AsHandler(&handler)),
        S_OK);
    EXPECT_EQ(handler.calls, 1);
    EXPECT_EQ(Record(), "1|0|(none)|(none)");
}

TEST_F(RuntimeLoaderTest, EnvironmentVariablesReplaceTheArguments) {
    const fs::path runtime = MakeRuntime(root_ / "from-environment");
    SetEnvironmentVariableW(L"WEBVIEW2_BROWSER_EXECUTABLE_FOLDER", runtime.c_str());
    SetEnvironmentVariableW(L"WEBVIEW2_USER_DATA_FOLDER", L"C:\\elsewhere");
    EXPECT_EQ(AvailableVersion(nullptr).version, kStringVersion);
    RecordingHandler handler;
    EXPECT_EQ(CreateCoreWebView2EnvironmentWithOptions(nullptr, L"C:\\data", nullptr,
                                                       AsHandler(&handler)),
              S_OK);
    EXPECT_EQ(Record(), "1|1|C:\\elsewhere|(none)");
}

}  // namespace
}  // namespace kestrum
