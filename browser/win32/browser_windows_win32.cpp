#include "browser/win32/browser_windows_win32.h"

#include <shellapi.h>

#include <algorithm>

#include "browser/win32/webview_engine_win32.h"
#include "common/app_context.h"
#include "common/text_case.h"
#include "common/win32/known_paths_win32.h"
#include "common/win32/message_box_win32.h"

namespace kestrum {
namespace {

constexpr wchar_t kStartClass[] = L"MolvaneInitWindow";
constexpr int kStartWidth = 1024;
constexpr int kStartHeight = 768;
constexpr int kContentWidth = 1280;
constexpr int kContentHeight = 720;
constexpr int kIconResource = 101;

const wchar_t* Wide(const std::u16string& text) {
    return reinterpret_cast<const wchar_t*>(text.c_str());
}

std::function<void()>& SplashCloser() {
    static std::function<void()> closer;  // main thread only
    return closer;
}

class Win32Shell final : public BrowserWindowShell {
  public:
    std::unique_ptr<BrowserEngine> CreateEngine(BrowserWindow kind) override {
        return CreateWebView2Engine(kind);
    }
    std::u16string DataFolderBase() override {
        const std::wstring base = BrowserDataFolderBase();
        return std::u16string(base.begin(), base.end());
    }
    void DestroySplash() override {
        if (SplashCloser())
            SplashCloser()();
    }
    void BringToFront(NativeWindow handle) override {
        HWND window = static_cast<HWND>(handle);
        if (!window)
            return;
        ::ShowWindow(window, SW_SHOW);
        SetForegroundWindow(window);
        SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        SetWindowPos(window, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        UpdateWindow(window);
    }
    void ShowWindow(NativeWindow handle) override {
        HWND window = static_cast<HWND>(handle);
        if (!window)
            return;
        ::ShowWindow(window, SW_SHOW);
        UpdateWindow(window);
    }
    void ShowBrowserFailure(NativeWindow window, const std::u16string& statusText) override {
        ShowOwnedMessageBox(static_cast<HWND>(window),
                            {u"Failed to initialize WebView2.\n\n" + statusText, u"WebView2 Error",
                             MessageIcon::kError, MessageButtons::kOk, false});
    }
    void SetContentFullscreen(NativeWindow handle, bool fullscreen) override {
        HWND window = static_cast<HWND>(handle);
        if (fullscreen) {
            SetWindowLongW(window, GWL_STYLE, static_cast<LONG>(WS_POPUP | WS_VISIBLE));
            MONITORINFO monitor{};
            monitor.cbSize = sizeof(monitor);
            if (GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor)) {
                const RECT& r = monitor.rcMonitor;
                SetWindowPos(window, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                             SWP_FRAMECHANGED);
            }
            return;
        }
        SetWindowLongW(window, GWL_STYLE, static_cast<LONG>(WS_OVERLAPPEDWINDOW | WS_VISIBLE));
        // Framed again at its first size, centred in the monitor's work area so that all of
        // it can be seen.
        int x = 0;
        int y = 0;
        MONITORINFO monitor{};
        monitor.cbSize = sizeof(monitor);
        if (GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor)) {
            const RECT& area = monitor.rcWork;
            x = area.left + std::max(0L, (area.right - area.left - kContentWidth) / 2);
            y = area.top + std::max(0L, (area.bottom - area.top - kContentHeight) / 2);
        }
        SetWindowPos(window, nullptr, x, y, kContentWidth, kContentHeight, SWP_FRAMECHANGED);
    }
    void ToggleStartFullscreen(NativeWindow handle) override {
        HWND window = static_cast<HWND>(handle);
        const LONG style = GetWindowLongW(window, GWL_STYLE);
        if (startFullscreen_) {
            SetWindowLongW(window, GWL_STYLE, style | static_cast<LONG>(WS_OVERLAPPEDWINDOW));
            SetWindowPlacement(window, &savedPlacement_);
            SetWindowPos(
                window, nullptr, 0, 0, 0, 0,
                SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOOWNERZORDER | SWP_FRAMECHANGED);
            startFullscreen_ = false;
            return;
        }
        savedPlacement_ = WINDOWPLACEMENT{};
        savedPlacement_.length = sizeof(savedPlacement_);
        MONITORINFO monitor{};
        monitor.cbSize = sizeof(monitor);
        if (!GetWindowPlacement(window, &savedPlacement_) ||
            !GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY), &monitor)) {
            return;
        }
        SetWindowLongW(window, GWL_STYLE, style & ~static_cast<LONG>(WS_OVERLAPPEDWINDOW));
        const RECT& r = monitor.rcMonitor;
        SetWindowPos(window, HWND_TOP, r.left, r.top, r.right - r.left, r.bottom - r.top,
                     SWP_NOOWNERZORDER | SWP_FRAMECHANGED);
        startFullscreen_ = true;
    }

    bool OpenInDefaultBrowser(const std::u16string& address) override {
        // Only a web address reaches the shell: never a file, a program or another protocol.
        if (ToLowerCopy(address.substr(0, 8)) != u"https://")
            return false;
        const HINSTANCE result =
            ShellExecuteW(nullptr, L"open", reinterpret_cast<const wchar_t*>(address.c_str()),
                          nullptr, nullptr, SW_SHOWNORMAL);
        return reinterpret_cast<INT_PTR>(result) > 32;
    }

  private:
    bool startFullscreen_ = false;
    WINDOWPLACEMENT savedPlacement_{};
};

}  // namespace

std::u16string PlayerWindowTitle() {
    return std::u16string(AppContext::productName) + u" V " +
           std::u16string(AppContext::versionText);
}

void RegisterBrowserWindowClass(HINSTANCE instance, const wchar_t* className, WNDPROC procedure) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(kIconResource));
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    windowClass.lpszClassName = className;
    RegisterClassExW(&windowClass);
}

bool CreateInitScreen(HINSTANCE instance) {
    RegisterBrowserWindowClass(instance, kStartClass, StartWndProc);
    HWND window = CreateWindowExW(WS_EX_APPWINDOW, kStartClass, Wide(PlayerWindowTitle()),
                                  WS_OVERLAPPEDWINDOW | WS_VISIBLE, CW_USEDEFAULT, CW_USEDEFAULT,
                                  kStartWidth, kStartHeight, nullptr, nullptr, instance, nullptr);
    if (!window)
        return false;
    // The browser fills the client area as it was when the browser was asked for.
    RECT client{};
    GetClientRect(window, &client);
    if (!CreateInitScreenBrowser(window, Win32BrowserWindowShell()))
        return false;
    if (WebViewHost* host = StartHost())
        host->Resize(client.right, client.bottom);
    return true;
}

bool CreatePlayerWindow(HINSTANCE, HWND window) {
    return CreatePlayerWindowBrowser(window, Win32BrowserWindowShell());
}

void SetSplashCloser(std::function<void()> closeSplash) {
    SplashCloser() = std::move(closeSplash);
}

BrowserWindowShell& Win32BrowserWindowShell() {
    static Win32Shell shell;
    return shell;
}

}  // namespace kestrum
