#include "common/linux/own_executable_linux.h"

#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kestrum {
namespace {

template <typename Usable>
std::string Companion(std::string_view name, Usable usable) {
    const std::string folder = OwnExecutableFolder();
    if (folder.empty() || name.empty())
        return {};
    for (std::string candidate :
         {folder + "/" + std::string(name), folder + "/../lib/kestrum/" + std::string(name)}) {
        if (usable(candidate))
            return candidate;
    }
    return {};
}

}  // namespace

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

std::string CompanionProgram(std::string_view name) {
    return Companion(name, [](const std::string& path) {
        struct stat status {};
        return stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode) &&
               access(path.c_str(), X_OK) == 0;
    });
}

std::string CompanionFolder(std::string_view name) {
    return Companion(name, [](const std::string& path) {
        struct stat status {};
        return stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
    });
}

}  // namespace kestrum
