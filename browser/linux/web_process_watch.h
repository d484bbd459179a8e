#pragma once

#include <sys/types.h>

#include <cstdint>

namespace kestrum {

// Watches one web process for its end, from before the browser is released until the wait
// (the process identifier stays bound to that process, whatever reuses the number).
class WebProcessWatch {
  public:
    explicit WebProcessWatch(pid_t process);  // 0: nothing to watch
    ~WebProcessWatch();
    WebProcessWatch(const WebProcessWatch&) = delete;
    WebProcessWatch& operator=(const WebProcessWatch&) = delete;

    // Waits at most `timeoutMs` for the process to end, handling the main loop's events
    // meanwhile; true when it ended (or there was none to watch).
    bool WaitForExit(std::uint32_t timeoutMs);

  private:
    int descriptor_ = -1;
};

}  // namespace kestrum
