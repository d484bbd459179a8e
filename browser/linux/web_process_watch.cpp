#include "browser/linux/web_process_watch.h"

#include <glib.h>
#include <poll.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace kestrum {

WebProcessWatch::WebProcessWatch(pid_t process) {
    if (process > 0)
        descriptor_ = static_cast<int>(syscall(SYS_pidfd_open, process, 0));
}

WebProcessWatch::~WebProcessWatch() {
    if (descriptor_ >= 0)
        close(descriptor_);
}

bool WebProcessWatch::WaitForExit(std::uint32_t timeoutMs) {
    if (descriptor_ < 0)
        return true;
    const gint64 deadline = g_get_monotonic_time() + static_cast<gint64>(timeoutMs) * 1000;
    while (true) {
        // Short slices: the engine's own clean-up runs on the main loop while we wait.
        while (g_main_context_pending(nullptr))
            g_main_context_iteration(nullptr, FALSE);
        pollfd watched{descriptor_, POLLIN, 0};
        const gint64 left = (deadline - g_get_monotonic_time()) / 1000;
        if (left <= 0)
            return false;
        if (poll(&watched, 1, static_cast<int>(left < 10 ? left : 10)) > 0)
            return true;
    }
}

}  // namespace kestrum
