#include "app/linux/instance_lock_linux.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "common/text_encoding.h"

namespace kestrum {
namespace {

int lockFile = -1;

bool UsableFolder(const std::string& folder) {
    struct stat info {};
    return !folder.empty() && stat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode) &&
           access(folder.c_str(), W_OK) == 0;
}

}  // namespace

std::string InstanceLockFolder() {
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime && UsableFolder(runtime)) {
        return runtime;
    }
    const char* temp = std::getenv("TMPDIR");
    std::string folder = std::string(temp && *temp ? temp : "/tmp") + "/kestrum-" +
                         std::to_string(static_cast<unsigned long>(getuid()));
    mkdir(folder.c_str(), 0700);
    // Someone else's folder of that name must not decide whether we run.
    struct stat info {};
    if (lstat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode) || info.st_uid != getuid()) {
        return {};
    }
    return folder;
}

StartupPlatform::InstanceResult AcquireInstanceGuard(const std::u16string& mutexName) {
    std::string name = Utf16ToUtf8(mutexName);
    if (const auto slash = name.rfind('\\'); slash != std::string::npos)
        name.erase(0, slash + 1);
    const std::string folder = InstanceLockFolder();
    if (folder.empty())
        return StartupPlatform::InstanceResult::kFailed;

    const int file = open((folder + "/" + name).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (file < 0)
        return StartupPlatform::InstanceResult::kFailed;
    if (flock(file, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        close(file);
        return error == EWOULDBLOCK ? StartupPlatform::InstanceResult::kAlreadyRunning
                                    : StartupPlatform::InstanceResult::kFailed;
    }
    lockFile = file;
    return StartupPlatform::InstanceResult::kAcquired;
}

void ReleaseInstanceGuard() {
    if (lockFile >= 0)
        close(lockFile);  // closing drops the lock
    lockFile = -1;
}

}  // namespace kestrum
