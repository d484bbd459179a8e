#include "browser/win32/webview_engine_win32.h"

#include <windows.h>

#include <string>
#include <utility>

#include "browser/request_handling.h"
#include "browser/win32/browser_exit_watch_win32.h"
#include "browser/win32/com_handler_win32.h"
#include "browser/win32/com_ref_win32.h"
#include "browser/win32/runtime_loader_win32.h"
#include "browser/win32/runtime_version_win32.h"
#include "browser/win32/webview2_controller_win32.h"
#include "browser/win32/webview2_environment_options_win32.h"
#include "browser/win32/webview2_events_win32.h"
#include "browser/win32/webview2_print_win32.h"
#include "browser/win32/webview2_requests_win32.h"
#include "browser/win32/webview2_settings_win32.h"
#include "common/text_encoding.h"
#include "common/win32/known_paths_win32.h"
#include "printing/print_flow.h"
#include "printing/win32/printer_picker_win32.h"
#include "service/page_host_pins.h"

namespace kestrum {
namespace {

std::u16string FromWide(const std::wstring& text) {
    return std::u16string(text.begin(), text.end());
}

StepFailure LastError() {
    return HResultFromWin32(static_cast<std::int64_t>(GetLastError()));
}

class WebView2Engine final : public BrowserEngine {
  public:
    WebView2Engine(BrowserWindow kind, WebView2EngineHooks hooks)
        : hooks_(std::move(hooks)),
          requestRules_{kind, hooks_.hostPinsPass, hooks_.reportBlockedHost} {}
    ~WebView2Engine() override {
        alive_.reset();
        CloseBrowser(0);
    }

    bool IsLiveWindow(NativeWindow window) override {
        return window && IsWindow(static_cast<HWND>(window));
    }
    std::u16string ProgramFolder() override { return FromWide(kestrum::ProgramFolder()); }
    char16_t PathSeparator() override { return u'\\'; }
    std::u16string PrivateRuntimeExecutableName() override { return u"msedgewebview2.exe"; }
    bool IsDirectory(const std::u16string& path) override {
        const DWORD attributes = GetFileAttributesW(WideText(path));
        return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
    }
    bool IsFile(const std::u16string& path) override {
        const DWORD attributes = GetFileAttributesW(WideText(path));
        return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
    }
    std::u16string RuntimeVersion(const std::u16string& browserFolder) override {
        return AvailableBrowserVersion(browserFolder);
    }
    std::u16string RunTag() override {
        const std::string tag =
            std::to_string(GetCurrentProcessId()) + "_" + std::to_string(GetTickCount64());
        return std::u16string(tag.begin(), tag.end());
    }
    StepFailure CreateFolder(const std::u16string& path) override {
        if (CreateDirectoryW(WideText(path), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS)
            return std::nullopt;
        return LastError();
    }
    StepFailure WriteTestFile(const std::u16string& path) override {
        HANDLE file = CreateFileW(
            WideText(path), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
            nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
        if (file == INVALID_HANDLE_VALUE)
            return LastError();
        CloseHandle(file);
        return std::nullopt;
    }

    bool RuntimeVariableIsSet(const std::u16string& name) override {
        return GetEnvironmentVariableW(WideText(name), nullptr, 0) != 0;
    }
    void DeleteRuntimeVariable(const std::u16string& name) override {
        SetEnvironmentVariableW(WideText(name), nullptr);
    }
    StepFailure SetRuntimeVariable(const std::u16string& name,
                                   const std::u16string& value) override {
        if (SetEnvironmentVariableW(WideText(name), WideText(value)))
            return std::nullopt;
        return LastError();
    }

    HResult CreateEnvironment(const std::u16string& browserFolder, const std::u16string& dataFolder,
                              const std::u16string& browserArguments,
                              std::function<void(Creation)> completed) override {
        const auto options = NewEnvironmentOptions(browserArguments);
        std::weak_ptr<bool> alive = alive_;
        const unsigned creation = ++creation_;
        const auto handler =
            MakeHandler<ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler>(
                [this, alive, creation, completed](HRESULT result,
                                                   ICoreWebView2Environment* environment) {
                    if (alive.expired())
                        return S_OK;
                    // A completion of an earlier creation (given up, or closed since) must not
                    // replace the current browser's objects.
                    if (SUCCEEDED(result) && environment && creation == creation_)
                        environment_ = ComRef<ICoreWebView2Environment>::Share(environment);
                    if (completed)
                        completed(Creation{static_cast<HResult>(result), environment != nullptr});
                    return S_OK;
                });
        return static_cast<HResult>(CreateCoreWebView2EnvironmentWithOptions(
            browserFolder.empty() ? nullptr : WideText(browserFolder), WideText(dataFolder),
            options.get(), handler.get()));
    }
    void RegisterBrowserProcessExitHandler() override { exitWatch_.Register(environment_.get()); }
    // The runtime wants a moment between handing out an environment and making a controller.
    void PauseBeforeController() override { Sleep(100); }
    HResult CreateController(NativeWindow window,
                             std::function<void(Creation)> completed) override {
        if (!environment_)
            return kEFail;
        std::weak_ptr<bool> alive = alive_;
        const unsigned creation = creation_;
        const auto handler = MakeHandler<ICoreWebView2CreateCoreWebView2ControllerCompletedHandler>(
            [this, alive, creation, completed](HRESULT result,
                                               ICoreWebView2Controller* controller) {
                if (alive.expired())
                    return S_OK;
                if (SUCCEEDED(result) && controller && creation == creation_)
                    controller_ = ComRef<ICoreWebView2Controller>::Share(controller);
                if (completed)
                    completed(Creation{static_cast<HResult>(result), controller != nullptr});
                return S_OK;
            });
        return static_cast<HResult>(
            environment_->CreateCoreWebView2Controller(static_cast<HWND>(window), handler.get()));
    }
    Creation TakeWebview() override {
        if (!controller_)
            return {kEFail, false};
        ComRef<ICoreWebView2> webview;
        const HRESULT result = controller_->get_CoreWebView2(webview.Out());
        if (FAILED(result) || !webview) {
            controller_->Close();
            controller_.Reset();  // closed once, not again when the browser is released
            return {FAILED(result) ? static_cast<HResult>(result) : kEFail, false};
        }
        webview_ = std::move(webview);
        return {kSOk, true};
    }
    void ConfigureController(NativeWindow window) override {
        window_ = static_cast<HWND>(window);
        kestrum::ConfigureController(controller_.get(), window_);
    }
    void SubscribeEvents(BrowserEvents& events) override {
        events_ = &events;
        std::weak_ptr<bool> alive = alive_;
        SubscribeBrowserEvents(
            webview_.get(),
            BrowserEventSinks{
                [this, alive]() -> BrowserEvents* { return alive.expired() ? nullptr : events_; },
                [this, alive](ICoreWebView2WebResourceRequestedEventArgs* args) {
                    if (!alive.expired())
                        HandleWebResourceRequest(args, environment_.get(), requestRules_);
                }});
    }
    bool HasWebview() override { return static_cast<bool>(webview_); }

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

    void CloseBrowser(std::uint32_t timeoutMs) override {
        ++creation_;  // whatever is still on its way belongs to a browser that is gone
        HANDLE process = nullptr;
        UINT32 processId = 0;
        if (webview_ && SUCCEEDED(webview_->get_BrowserProcessId(&processId)) && processId != 0)
            process =
                OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
        if (controller_)
            controller_->Close();
        const auto watched = environment_.As<ICoreWebView2Environment5>();
        webview_.Reset();
        controller_.Reset();
        environment_.Reset();
        events_ = nullptr;
        exitWatch_.WaitAndStop(watched.get(), process, timeoutMs);
        if (process)
            CloseHandle(process);
    }

    void ApplySettings() override { ApplyBrowserSettings(webview_.get()); }
    void AddDocumentScript(const std::u16string& script) override {
        if (webview_)
            webview_->AddScriptToExecuteOnDocumentCreated(WideText(script), nullptr);
    }
    void Navigate(const std::u16string& address,
                  const std::vector<RequestHeader>& headers) override {
        if (!webview_)
            return;
        if (!headers.empty() &&
            NavigateWithHeaders(environment_.get(), webview_.get(), address, headers))
            return;
        webview_->Navigate(WideText(address));
    }
    void NavigateToString(const std::u16string& html) override {
        if (webview_)
            webview_->NavigateToString(WideText(html));
    }
    void GoBack() override {
        BOOL canGoBack = FALSE;
        if (webview_ && SUCCEEDED(webview_->get_CanGoBack(&canGoBack)) && canGoBack)
            webview_->GoBack();
    }
    void Reload() override {
        if (webview_)
            webview_->Reload();
    }
    void Resize(int width, int height) override {
        if (controller_ && width > 0 && height > 0)
            controller_->put_Bounds(RECT{0, 0, width, height});
    }
    void SetVisible(bool visible) override {
        if (controller_)
            controller_->put_IsVisible(visible ? TRUE : FALSE);
    }
    void NotifyPositionChanged() override {
        if (controller_)
            controller_->NotifyParentWindowPositionChanged();
    }
    void RestoreVisibility() override { RestoreControllerVisibility(controller_.get(), window_); }
    void PostWebMessageAsJson(const std::u16string& json) override {
        if (webview_)
            webview_->PostWebMessageAsJson(WideText(json));
    }
    void ShowSystemPrintDialog() override {
        if (!webview_)
            return;
        WebView2PrintEngine printer(environment_, webview_);
        // The answer goes to the browser that asked, even if the window has moved on since.
        const ComRef<ICoreWebView2> asking = webview_;
        const HWND owner = window_;
        const auto choose = hooks_.choosePrinter;
        gate_.Run([choose, owner] { return choose ? choose(owner) : std::u16string(); }, printer,
                  [asking](const std::string& json) {
                      asking->PostWebMessageAsJson(WideText(Utf8ToUtf16(json)));
                  });
    }

  private:
    WebView2EngineHooks hooks_;
    RequestRules requestRules_;
    // Handlers the runtime still holds check it before they touch this engine.
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
    BrowserEvents* events_ = nullptr;
    HWND window_ = nullptr;
    unsigned creation_ = 0;  // counts environment creations and closes
    ComRef<ICoreWebView2Environment> environment_;
    ComRef<ICoreWebView2Controller> controller_;
    ComRef<ICoreWebView2> webview_;
    BrowserExitWatch exitWatch_;
    PrintRequestGate gate_;
};

}  // namespace

WebView2EngineHooks PlayerWebView2EngineHooks() {
    return WebView2EngineHooks{[](const std::u16string& host) { return CheckHostPins(host); },
                               [](const std::u16string& host) { ReportInterceptedHost(host); },
                               [](HWND owner) { return ShowPrinterPicker(owner); }};
}

std::unique_ptr<BrowserEngine> CreateWebView2Engine(BrowserWindow kind, WebView2EngineHooks hooks) {
    return std::make_unique<WebView2Engine>(kind, std::move(hooks));
}

}  // namespace kestrum
