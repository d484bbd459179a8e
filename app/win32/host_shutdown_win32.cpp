#include "app/win32/host_shutdown_win32.h"

#include <windows.h>

#include <atomic>

#include "browser/browser_host_slots.h"
#include "browser/browser_windows.h"
#include "browser/win32/browser_windows_win32.h"

namespace kestrum {
namespace {

std::atomic<DWORD> mainThreadId{0};

}  // namespace

void RecordMainThread() {
    mainThreadId = GetCurrentThreadId();
}

void CloseBrowserHostsFromAnyThread(unsigned limitMs) {
    if (GetCurrentThreadId() == mainThreadId) {
        CloseBrowserHosts();
        return;
    }
    HWND window = static_cast<HWND>(TheBrowserWindows().mainWindow);
    if (!window || !IsWindow(window))
        return;
    DWORD_PTR result = 0;
    SendMessageTimeoutW(window, WM_APP_CLOSE_HOSTS, 0, 0, SMTO_BLOCK | SMTO_ABORTIFHUNG, limitMs,
                        &result);
}

}  // namespace kestrum
