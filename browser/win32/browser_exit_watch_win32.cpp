#include "browser/win32/browser_exit_watch_win32.h"

#include <objbase.h>

#include <vector>

#include "browser/win32/com_handler_win32.h"

namespace kestrum {

BrowserExitWatch::BrowserExitWatch() {
    if (HANDLE event = CreateEventW(nullptr, TRUE, FALSE, nullptr))
        event_ = std::shared_ptr<void>(event, [](void* handle) { CloseHandle(handle); });
}

BrowserExitWatch::~BrowserExitWatch() = default;

void BrowserExitWatch::Register(ICoreWebView2Environment* environment) {
    registered_ = false;
    if (event_)
        ResetEvent(event_.get());
    if (!environment || !event_)
        return;
    const ComRef<ICoreWebView2Environment5> watched =
        ComRef<ICoreWebView2Environment>::Share(environment).As<ICoreWebView2Environment5>();
    if (!watched)
        return;
    std::weak_ptr<void> event = event_;
    const auto handler = MakeHandler<ICoreWebView2BrowserProcessExitedEventHandler>(
        [event](ICoreWebView2Environment*, ICoreWebView2BrowserProcessExitedEventArgs*) {
            if (const std::shared_ptr<void> alive = event.lock())
                SetEvent(alive.get());
            return S_OK;
        });
    registered_ = SUCCEEDED(watched->add_BrowserProcessExited(handler.get(), &token_));
}

void BrowserExitWatch::WaitAndStop(ICoreWebView2Environment5* environment, HANDLE browserProcess,
                                   std::uint32_t timeoutMs) {
    std::vector<HANDLE> handles;
    if (browserProcess)
        handles.push_back(browserProcess);
    if (registered_ && event_)
        handles.push_back(event_.get());
    if (!handles.empty() && timeoutMs != 0) {
        DWORD signalled = 0;
        CoWaitForMultipleHandles(COWAIT_DISPATCH_CALLS, timeoutMs,
                                 static_cast<ULONG>(handles.size()), handles.data(), &signalled);
    }
    if (environment && registered_)
        environment->remove_BrowserProcessExited(token_);
    registered_ = false;
}

}  // namespace kestrum
