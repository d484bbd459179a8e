#include "fatal/win32/countdown_window_win32.h"

#include <windows.h>

#include <atomic>

#include "fatal/win32/countdown_paint_win32.h"

namespace kestrum {
namespace {

constexpr wchar_t kWindowClass[] = L"MolvaneSecureExitCountdown";
constexpr UINT_PTR kTimerId = 1001;
constexpr COLORREF kBackground = RGB(0x1A, 0x1A, 0x2E);

// The countdown being shown, and its window; written by the thread that shows it, before the
// window exists and after it is gone.
std::atomic<CountdownContent*> shownContent{nullptr};
std::atomic<HWND> shownWindow{nullptr};

void Paint(HWND window) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    const CountdownContent* content = shownContent.load();
    RECT client;
    GetClientRect(window, &client);
    if (content != nullptr && dc != nullptr && client.right > 0 && client.bottom > 0) {
        // Drawn off screen and copied in one go, so a tick never flickers.
        HDC memory = CreateCompatibleDC(dc);
        HBITMAP bitmap = CreateCompatibleBitmap(dc, client.right, client.bottom);
        HGDIOBJ previous = SelectObject(memory, bitmap);
        PaintCountdown(memory, client.right, client.bottom, *content);
        BitBlt(dc, 0, 0, client.right, client.bottom, memory, 0, 0, SRCCOPY);
        SelectObject(memory, previous);
        DeleteObject(bitmap);
        DeleteDC(memory);
    }
    EndPaint(window, &paint);
}

LRESULT CALLBACK CountdownProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_TIMER:
            if (wParam != kTimerId) {
                break;
            }
            if (CountdownContent* content = shownContent.load()) {
                if (--content->secondsLeft > 0) {
                    InvalidateRect(window, nullptr, FALSE);
                    return 0;
                }
            }
            KillTimer(window, kTimerId);
            PostQuitMessage(0);
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        case WM_NCHITTEST:
            // Dragged by any point.
            return HTCAPTION;
        case WM_PAINT:
            Paint(window);
            return 0;
        default:
            break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void RegisterCountdownClass(HINSTANCE instance) {
    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = CountdownProcedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = CreateSolidBrush(kBackground);
    windowClass.lpszClassName = kWindowClass;
    if (RegisterClassExW(&windowClass) == 0) {
        // Already registered by an earlier countdown of this process, which left its brush.
        DeleteObject(windowClass.hbrBackground);
    }
}

// The countdown's loop: until the count runs out or the window is gone.
void RunLoop() {
    MSG message;
    for (;;) {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == 0) {
            return;
        }
        if (got == -1) {
            // Only an invalid window filter fails, which this loop has not: give up the loop
            // rather than spin.
            return;
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

void CloseCountdown() {
    HWND window = shownWindow.exchange(nullptr);
    if (window != nullptr && IsWindow(window)) {
        DestroyWindow(window);
    }
    shownContent.store(nullptr);
    // Destroying the window posted one more quit; left in the queue, it would end the next
    // modal loop of this thread (a message box) the moment it starts.
    MSG quit;
    while (PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
}

}  // namespace

CountdownEnd RunCountdownWindow(CountdownContent& content) {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    shownContent.store(&content);
    RegisterCountdownClass(instance);

    const int x = (GetSystemMetrics(SM_CXSCREEN) - kCountdownWindowWidth) / 2;
    const int y = (GetSystemMetrics(SM_CYSCREEN) - kCountdownWindowHeight) / 2;
    HWND window = CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, kWindowClass,
                                  reinterpret_cast<const wchar_t*>(kCountdownWindowTitle.data()),
                                  WS_POPUP | WS_VISIBLE | WS_BORDER, x, y, kCountdownWindowWidth,
                                  kCountdownWindowHeight, nullptr, nullptr, instance, nullptr);
    if (window == nullptr) {
        shownContent.store(nullptr);
        return CountdownEnd::kNotShown;
    }
    shownWindow.store(window);
    SetTimer(window, kTimerId, kCountdownTickMilliseconds, nullptr);
    SetForegroundWindow(window);
    SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    MessageBeep(MB_ICONHAND);
    RunLoop();
    CloseCountdown();
    return CountdownEnd::kFinished;
}

void FinishCountdownOnThisThread() {
    HWND window = shownWindow.load();
    if (window == nullptr || GetWindowThreadProcessId(window, nullptr) != GetCurrentThreadId()) {
        return;
    }
    RunLoop();
    CloseCountdown();
}

}  // namespace kestrum
