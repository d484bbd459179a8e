#include "app/win32/download_progress_window_win32.h"

#include <atomic>
#include <thread>

#include "app/download_progress_text.h"
#include "common/debug_log.h"

namespace kestrum {
namespace {

constexpr UINT kProgressMessage = WM_APP + 1;
constexpr UINT kFinishedMessage = WM_APP + 2;
constexpr int kWidth = 440;
constexpr int kHeight = 180;
// The bar, in client coordinates.
constexpr RECT kBar{16, 76, 408, 96};
constexpr COLORREF kBarFrame = RGB(0x80, 0x80, 0x80);
constexpr COLORREF kBarEmpty = RGB(0xFF, 0xFF, 0xFF);
constexpr COLORREF kBarFill = RGB(0x1E, 0x88, 0x3E);

// Shared by the worker, which writes the counts, and the window, which shows them.
struct DownloadState {
    InstallerDownloader downloader;
    std::atomic<std::uint64_t> received{0};
    std::atomic<std::uint64_t> total{0};
    std::atomic<bool> totalKnown{false};
    std::atomic<bool> updatePending{false};
    std::atomic<bool> finished{false};
    bool cancelledByLearner = false;
    InstallerDownload result = InstallerDownload::kFailed;
    HWND window = nullptr;
    HWND label = nullptr;
    HWND cancel = nullptr;
    HFONT font = nullptr;
};

const wchar_t* Wide(const std::u16string& text) {
    return reinterpret_cast<const wchar_t*>(text.c_str());
}

std::optional<std::uint64_t> Total(const DownloadState& state) {
    return state.totalKnown ? std::optional<std::uint64_t>(state.total.load()) : std::nullopt;
}

void PaintBar(HWND window, const DownloadState& state) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    HBRUSH frame = CreateSolidBrush(kBarFrame);
    HBRUSH empty = CreateSolidBrush(kBarEmpty);
    HBRUSH fill = CreateSolidBrush(kBarFill);
    RECT inner{kBar.left + 1, kBar.top + 1, kBar.right - 1, kBar.bottom - 1};
    FrameRect(dc, &kBar, frame);
    FillRect(dc, &inner, empty);
    if (const std::optional<int> percent = DownloadPercent(state.received, Total(state))) {
        RECT done = inner;
        done.right = inner.left + (inner.right - inner.left) * *percent / 100;
        FillRect(dc, &done, fill);
    }
    DeleteObject(fill);
    DeleteObject(empty);
    DeleteObject(frame);
    EndPaint(window, &paint);
}

void CancelByLearner(DownloadState& state) {
    state.cancelledByLearner = true;
    EnableWindow(state.cancel, FALSE);
    SetWindowTextW(state.label, L"Cancelling...");
    state.downloader.Stop(InstallerDownload::kCancelled);
}

LRESULT CALLBACK DownloadWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* state = reinterpret_cast<DownloadState*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!state)
        return DefWindowProcW(window, message, wParam, lParam);
    switch (message) {
        case WM_PAINT:
            PaintBar(window, *state);
            return 0;
        case WM_COMMAND:
            if (LOWORD(wParam) == kDownloadCancelButtonId && IsWindowEnabled(state->cancel))
                CancelByLearner(*state);
            return 0;
        case WM_CLOSE:
            if (IsWindowEnabled(state->cancel))
                CancelByLearner(*state);
            return 0;
        case kProgressMessage:
            state->updatePending = false;
            if (IsWindowEnabled(state->cancel)) {
                SetWindowTextW(state->label,
                               Wide(DownloadProgressText(state->received, Total(*state))));
                InvalidateRect(window, &kBar, FALSE);
            }
            return 0;
        case kFinishedMessage:
            state->finished = true;
            return 0;
        default:
            return DefWindowProcW(window, message, wParam, lParam);
    }
}

HWND CreateDownloadWindow(DownloadState& state) {
    static const ATOM registered = [] {
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof(windowClass);
        windowClass.lpfnWndProc = DownloadWindowProc;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
        windowClass.lpszClassName = kDownloadWindowClass;
        return RegisterClassExW(&windowClass);
    }();
    if (!registered)
        return nullptr;
    const int x = (GetSystemMetrics(SM_CXSCREEN) - kWidth) / 2;
    const int y = (GetSystemMetrics(SM_CYSCREEN) - kHeight) / 2;
    HWND window =
        CreateWindowExW(WS_EX_TOPMOST | WS_EX_DLGMODALFRAME, kDownloadWindowClass,
                        L"Downloading WebView2 Runtime", WS_POPUP | WS_CAPTION | WS_SYSMENU, x, y,
                        kWidth, kHeight, nullptr, nullptr, GetModuleHandleW(nullptr), &state);
    if (!window)
        return nullptr;
    // The font of the learner's other windows, which carries the Arabic line too.
    state.font = CreateFontW(-13, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                             OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY,
                             DEFAULT_PITCH | FF_SWISS, L"Segoe UI");
    const auto font = reinterpret_cast<WPARAM>(state.font ? static_cast<HGDIOBJ>(state.font)
                                                          : GetStockObject(DEFAULT_GUI_FONT));
    const auto child = [&](const wchar_t* type, const wchar_t* text, DWORD style, RECT at, int id,
                           DWORD extendedStyle = 0) {
        HWND control = CreateWindowExW(extendedStyle, type, text, WS_CHILD | WS_VISIBLE | style,
                                       at.left, at.top, at.right - at.left, at.bottom - at.top,
                                       window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                       GetModuleHandleW(nullptr), nullptr);
        SendMessageW(control, WM_SETFONT, font, FALSE);
        return control;
    };
    child(L"STATIC", L"Downloading WebView2 Runtime...", SS_LEFT, RECT{16, 10, 408, 28}, -1);
    child(L"STATIC", L"جاري تحميل WebView2 Runtime...", SS_RIGHT, RECT{16, 28, 408, 46}, -1,
          WS_EX_RTLREADING);
    state.label = child(L"STATIC", L"Connecting...", SS_LEFT, RECT{16, 52, 408, 70},
                        kDownloadProgressLabelId);
    state.cancel = child(L"BUTTON", L"Cancel", WS_TABSTOP | BS_DEFPUSHBUTTON,
                         RECT{318, 106, 408, 132}, kDownloadCancelButtonId);
    state.window = window;
    ShowWindow(window, SW_SHOWNORMAL);
    SetForegroundWindow(window);
    UpdateWindow(window);
    return window;
}

}  // namespace

InstallerDownload DownloadWithProgressWindow(const std::u16string& address,
                                             const std::u16string& file,
                                             const DownloadLimits& limits) {
    DownloadState state;
    HWND window = CreateDownloadWindow(state);
    std::thread worker([&state, &address, &file, &limits, window] {
        state.result = state.downloader.Run(
            address, file, limits,
            [&state, window](std::uint64_t received, std::optional<std::uint64_t> total) {
                state.received = received;
                state.total = total.value_or(0);
                state.totalKnown = total.has_value();
                // One pending update at a time: a fast download does not flood the queue.
                if (window && !state.updatePending.exchange(true))
                    PostMessageW(window, kProgressMessage, 0, 0);
            });
        if (window)
            PostMessageW(window, kFinishedMessage, 0, 0);
        else
            state.finished = true;
    });

    bool quitting = false;
    int quitCode = 0;
    MSG message;
    while (!state.finished && window) {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got <= 0) {
            // The process is ending: stop the download and hand the quit on.
            quitting = got == 0;
            quitCode = static_cast<int>(message.wParam);
            state.downloader.Stop(InstallerDownload::kCancelled);
            break;
        }
        if (!IsDialogMessageW(window, &message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    worker.join();
    if (window)
        DestroyWindow(window);
    if (state.font)
        DeleteObject(state.font);
    // The last bytes may have come while the learner clicked: the answer still stands.
    if (state.cancelledByLearner && state.result == InstallerDownload::kDone) {
        DeleteFileW(Wide(file));
        state.result = InstallerDownload::kCancelled;
    }
    if (quitting)
        PostQuitMessage(quitCode);
    if (state.result == InstallerDownload::kCancelled)
        DebugLog("Runtime installer download cancelled");
    else if (state.result == InstallerDownload::kFailed)
        DebugLog("Runtime installer download failed: " + state.downloader.Failure());
    return state.result;
}

}  // namespace kestrum
