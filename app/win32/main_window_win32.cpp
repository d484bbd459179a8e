#include "app/win32/main_window_win32.h"

#include "browser/win32/browser_windows_win32.h"

namespace kestrum {

HWND CreateMainWindow(HINSTANCE instance) {
    static constexpr wchar_t kClassName[] = L"KestrumWindow";
    RegisterBrowserWindowClass(instance, kClassName, ContentWndProc);
    const std::u16string title = PlayerWindowTitle();
    HWND window = CreateWindowExW(WS_EX_APPWINDOW, kClassName,
                                  reinterpret_cast<const wchar_t*>(title.c_str()),
                                  WS_OVERLAPPEDWINDOW | WS_VISIBLE, CW_USEDEFAULT, CW_USEDEFAULT,
                                  1280, 720, nullptr, nullptr, instance, nullptr);
    if (window)
        UpdateWindow(window);
    return window;
}

}  // namespace kestrum
