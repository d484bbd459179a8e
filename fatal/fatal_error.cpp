#include "fatal/fatal_error.h"

#include <mutex>

#include "common/debug_log.h"
#include "common/shutdown.h"

namespace kestrum {
namespace {

std::mutex presenterLock;
std::function<void(const FatalError&)>& Presenter() {
    static std::function<void(const FatalError&)> presenter;
    return presenter;
}

}  // namespace

void SetFatalErrorPresenter(std::function<void(const FatalError&)> presenter) {
    const std::lock_guard<std::mutex> guard(presenterLock);
    Presenter() = std::move(presenter);
}

void ShowFatalErrorDialog(const FatalError& error) {
    RunShutdownHookOnce();
    std::function<void(const FatalError&)> presenter;
    {
        const std::lock_guard<std::mutex> guard(presenterLock);
        presenter = Presenter();
    }
    DebugLog("Fatal error, diagnostic code: " + error.code);
    if (presenter)
        presenter(error);
}

}  // namespace kestrum
