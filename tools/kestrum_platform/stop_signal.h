#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace kestrum::platform {

// Lets a deliberately slow answer end as soon as the service stops, so that a stop never
// waits for a test's long delay.
class StopSignal {
  public:
    // False when the service stopped before the time was up.
    bool WaitFor(std::chrono::duration<double> time) {
        std::unique_lock<std::mutex> guard(lock_);
        return !changed_.wait_for(guard, time, [this] { return stopped_; });
    }
    void Stop() {
        {
            const std::lock_guard<std::mutex> guard(lock_);
            stopped_ = true;
        }
        changed_.notify_all();
    }

  private:
    std::mutex lock_;
    std::condition_variable changed_;
    bool stopped_ = false;
};

}  // namespace kestrum::platform
