// The window procedures of the two browser windows: the browser follows the window's size,
// position, activation and the system's sleep; closing the window closes the hosts and ends
// the message loop.
#include <windows.h>

#include "browser/browser_host_slots.h"
#include "browser/win32/browser_windows_win32.h"

namespace kestrum {
namespace {

// The host a window procedure works on, looked up at each message: the slots fill and empty
// while the windows live.
using HostLookup = WebViewHost* (*)();

LRESULT HostWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, HostLookup lookup) {
    WebViewHost* host = lookup();
    switch (message) {
        case WM_PAINT:
            PaintWaitingText(window);
            return 0;
        case WM_SIZE:
            if (host) {
                if (wParam == SIZE_MINIMIZED) {
                    host->SetVisible(false);
                } else {
                    host->Resize(LOWORD(lParam), HIWORD(lParam));
                    host->RestoreVisibility();
                }
            }
            return 0;
        case WM_MOVE:
        case WM_MOVING:
            if (host)
                host->NotifyPositionChanged();
            break;
        case WM_ACTIVATEAPP:
            if (wParam && host && !IsIconic(window))
                host->RestoreVisibility();
            break;
        case WM_POWERBROADCAST:
            if (wParam == PBT_APMSUSPEND) {
                if (host)
                    host->SetVisible(false);
                return TRUE;
            }
            if ((wParam == PBT_APMRESUMESUSPEND || wParam == PBT_APMRESUMEAUTOMATIC) && host &&
                !IsIconic(window)) {
                host->RestoreVisibility();
                return TRUE;
            }
            break;
        case WM_APP_CLOSE_HOSTS:
            CloseBrowserHosts();
            return 0;
        case WM_DESTROY: {
            CloseBrowserHosts();
            BrowserWindowSlots& windows = TheBrowserWindows();
            if (windows.mainWindow == window)
                windows.mainWindow = nullptr;
            PostQuitMessage(0);
            return 0;
        }
        default:
            break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

LRESULT CALLBACK StartWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return HostWindowProc(window, message, wParam, lParam, StartHost);
}

LRESULT CALLBACK ContentWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return HostWindowProc(window, message, wParam, lParam, ContentHost);
}

void PaintWaitingText(HWND window) {
    PAINTSTRUCT paint{};
    HDC dc = BeginPaint(window, &paint);
    if (!dc)
        return;
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(200, 200, 200));
    HFONT font = CreateFontW(24, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                             OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY,
                             DEFAULT_PITCH | FF_DONTCARE, L"Segoe UI");
    HGDIOBJ previous = font ? SelectObject(dc, font) : nullptr;
    RECT client{};
    GetClientRect(window, &client);
    static constexpr wchar_t kText[] = L"جاري التحميل... Loading...";
    DrawTextW(dc, kText, -1, &client, DT_SINGLELINE | DT_VCENTER | DT_CENTER);
    if (previous)
        SelectObject(dc, previous);
    if (font)
        DeleteObject(font);
    EndPaint(window, &paint);
}

}  // namespace kestrum
