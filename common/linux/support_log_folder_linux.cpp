#include <cstdlib>
#include <string>

#include "common/support_log_folder.h"

namespace kestrum {
namespace {

// Only an absolute path counts: a relative one would move with the working folder.
std::filesystem::path AbsoluteFromEnvironment(const char* name) {
    const char* value = std::getenv(name);
    if (value == nullptr || value[0] != '/')
        return {};
    return std::filesystem::path(value);
}

}  // namespace

std::filesystem::path SupportLogFolder() {
    std::filesystem::path state = AbsoluteFromEnvironment("XDG_STATE_HOME");
    if (state.empty()) {
        const std::filesystem::path home = AbsoluteFromEnvironment("HOME");
        if (home.empty())
            return {};
        state = home / ".local" / "state";
    }
    return state / "kestrum";
}

}  // namespace kestrum
