#include "common/shutdown.h"

#include <atomic>
#include <mutex>

namespace kestrum {
namespace {

std::mutex hookLock;
std::function<void()>& Hook() {
    static std::function<void()> hook;
    return hook;
}
std::atomic<bool> hookRan{false};

}  // namespace

void SetShutdownHook(std::function<void()> hook) {
    const std::lock_guard<std::mutex> guard(hookLock);
    Hook() = std::move(hook);
}

void RunShutdownHookOnce() {
    if (hookRan.exchange(true))
        return;
    std::function<void()> hook;
    {
        const std::lock_guard<std::mutex> guard(hookLock);
        hook = Hook();
    }
    if (hook)
        hook();
}

}  // namespace kestrum
