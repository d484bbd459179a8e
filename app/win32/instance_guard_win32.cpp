#include <windows.h>

#include "app/instance_guard.h"

namespace kestrum {
namespace {

// Held until ReleaseInstanceGuard or the end of the process; the system releases it when
// the process dies, so a crashed instance does not block the next start.
HANDLE heldMutex = nullptr;

}  // namespace

StartupPlatform::InstanceResult AcquireInstanceGuard(const std::u16string& mutexName) {
    HANDLE mutex =
        CreateMutexW(nullptr, FALSE, reinterpret_cast<const wchar_t*>(mutexName.c_str()));
    if (!mutex)
        return StartupPlatform::InstanceResult::kFailed;
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        CloseHandle(mutex);
        return StartupPlatform::InstanceResult::kAlreadyRunning;
    }
    ReleaseInstanceGuard();
    heldMutex = mutex;
    return StartupPlatform::InstanceResult::kAcquired;
}

void ReleaseInstanceGuard() {
    if (heldMutex) {
        CloseHandle(heldMutex);
        heldMutex = nullptr;
    }
}

}  // namespace kestrum
