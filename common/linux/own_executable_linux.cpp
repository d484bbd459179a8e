#include "common/linux/own_executable_linux.h"

#include <limits.h>
#include <unistd.h>

namespace kestrum {

std::string OwnExecutablePath() {
    char path[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0)
        return {};
    return std::string(path, static_cast<std::size_t>(length));
}

std::string OwnExecutableFolder() {
    const std::string path = OwnExecutablePath();
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

}  // namespace kestrum
