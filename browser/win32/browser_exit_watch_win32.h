#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>

#include "browser/win32/com_ref_win32.h"
#include "browser/win32/webview2/webview2_declarations.h"

namespace kestrum {

// Knows when the browser processes of an environment have ended, so that closing the
// browser can wait for them (their data folder is in use until then) without waiting longer
// than it must.
class BrowserExitWatch {
  public:
    BrowserExitWatch();
    ~BrowserExitWatch();
    BrowserExitWatch(const BrowserExitWatch&) = delete;
    BrowserExitWatch& operator=(const BrowserExitWatch&) = delete;

    // Watches a new environment; environments too old to report the exit are not watched.
    void Register(ICoreWebView2Environment* environment);

    // With the browser released: waits at most `timeoutMs` for the browser process (when its
    // handle could be opened) or the exit report, dispatching COM calls meanwhile, then stops
    // watching `environment`.
    void WaitAndStop(ICoreWebView2Environment5* environment, HANDLE browserProcess,
                     std::uint32_t timeoutMs);

  private:
    // Shared with the runtime's handler, which may outlive this watch.
    std::shared_ptr<void> event_;
    EventRegistrationToken token_{};
    bool registered_ = false;
};

}  // namespace kestrum
