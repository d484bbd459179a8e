#include "browser/win32/webview_engine_win32.h"

#include <windows.h>

#include <string>

#include "browser/win32/runtime_version_win32.h"
#include "common/win32/known_paths_win32.h"

namespace kestrum {
namespace {

const wchar_t* Wide(const std::u16string& text) {
    return reinterpret_cast<const wchar_t*>(text.c_str());
}

std::u16string FromWide(const std::wstring& text) {
    return std::u16string(text.begin(), text.end());
}

StepFailure LastError() {
    return HResultFromWin32(static_cast<std::int64_t>(GetLastError()));
}

class WebView2Engine final : public BrowserEngine {
  public:
    bool IsLiveWindow(NativeWindow window) override {
        return window && IsWindow(static_cast<HWND>(window));
    }
    std::u16string ProgramFolder() override { return FromWide(kestrum::ProgramFolder()); }
    char16_t PathSeparator() override { return u'\\'; }
    std::u16string PrivateRuntimeExecutableName() override { return u"msedgewebview2.exe"; }
    bool IsDirectory(const std::u16string& path) override {
        const DWORD attributes = GetFileAttributesW(Wide(path));
        return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
    }
    bool IsFile(const std::u16string& path) override {
        const DWORD attributes = GetFileAttributesW(Wide(path));
        return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
    }
    std::u16string RuntimeVersion(const std::u16string& browserFolder) override {
        return AvailableBrowserVersion(browserFolder);
    }
    std::u16string RunTag() override {
        const std::string tag =
            std::to_string(GetCurrentProcessId()) + "_" + std::to_string(GetTickCount());
        return std::u16string(tag.begin(), tag.end());
    }
    StepFailure CreateFolder(const std::u16string& path) override {
        if (CreateDirectoryW(Wide(path), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS)
            return std::nullopt;
        return LastError();
    }
    StepFailure WriteTestFile(const std::u16string& path) override {
        HANDLE file = CreateFileW(Wide(path), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
        if (file == INVALID_HANDLE_VALUE)
            return LastError();
        CloseHandle(file);
        return std::nullopt;
    }

    bool RuntimeVariableIsSet(const std::u16string& name) override {
        return GetEnvironmentVariableW(Wide(name), nullptr, 0) != 0;
    }
    void DeleteRuntimeVariable(const std::u16string& name) override {
        SetEnvironmentVariableW(Wide(name), nullptr);
    }
    StepFailure SetRuntimeVariable(const std::u16string& name,
                                   const std::u16string& value) override {
        if (SetEnvironmentVariableW(Wide(name), Wide(value)))
            return std::nullopt;
        return LastError();
    }

    HResult CreateEnvironment(const std::u16string&, const std::u16string&, const std::u16string&,
                              std::function<void(Creation)>) override {
        // No runtime loader in this build: the completion never comes.
        return HResultFromWin32(ERROR_FILE_NOT_FOUND);
    }
    void RegisterBrowserProcessExitHandler() override {}
    void PauseBeforeController() override {}
    HResult CreateController(NativeWindow, std::function<void(Creation)>) override {
        return HResultFromWin32(ERROR_FILE_NOT_FOUND);
    }
    Creation TakeWebview() override { return {kEFail, false}; }
    void ConfigureController(NativeWindow) override {}
    void SubscribeEvents(BrowserEvents&) override {}
    bool HasWebview() override { return false; }

    Pump PumpOneMessage(std::int64_t& detail) override {
        MSG message{};
        const BOOL result = GetMessageW(&message, nullptr, 0, 0);
        if (result == -1) {
            detail = static_cast<std::int64_t>(GetLastError());
            return Pump::kFailed;
        }
        if (result == 0) {
            detail = static_cast<std::int64_t>(message.wParam);
            return Pump::kQuit;
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
        return Pump::kDispatched;
    }
    void RepostQuit(std::int64_t exitCode) override { PostQuitMessage(static_cast<int>(exitCode)); }
    void Wake(NativeWindow window) override {
        if (window)
            PostMessageW(static_cast<HWND>(window), WM_NULL, 0, 0);
    }

    // Without a browser there is nothing to release or to drive.
    void CloseBrowser(std::uint32_t) override {}
    void ApplySettings() override {}
    void AddDocumentScript(const std::u16string&) override {}
    void Navigate(const std::u16string&, const std::vector<RequestHeader>&) override {}
    void NavigateToString(const std::u16string&) override {}
    void GoBack() override {}
    void Reload() override {}
    void Resize(int, int) override {}
    void SetVisible(bool) override {}
    void NotifyPositionChanged() override {}
    void RestoreVisibility() override {}
    void PostWebMessageAsJson(const std::u16string&) override {}
    void ShowSystemPrintDialog() override {}
};

}  // namespace

std::unique_ptr<BrowserEngine> CreateWebView2Engine(BrowserWindow) {
    return std::make_unique<WebView2Engine>();
}

}  // namespace kestrum
