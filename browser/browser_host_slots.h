#pragma once

#include <memory>

namespace kestrum {

// What the shell needs of an embedded browser host: closing it, waiting a bounded time for
// its browser processes to end.
class ClosableHost {
  public:
    virtual ~ClosableHost() = default;
    virtual void Close(unsigned waitMs) = 0;
    // True while the host is inside its own start-up (it handles the thread's messages
    // there, so a window closed meanwhile asks to close it from within).
    virtual bool Busy() const { return false; }
};

// The process-wide slots of the two browser hosts; main thread only.
struct BrowserHostSlots {
    std::unique_ptr<ClosableHost> contentHost;
    std::unique_ptr<ClosableHost> startHost;
};

BrowserHostSlots& TheBrowserHosts();

// Closes and frees the content host, then the start host; each slot is cleared before its
// host is closed, so a re-entrant call finds nothing left to close. A busy host is closed but
// kept until the process ends, since its start-up is still on the stack.
void CloseBrowserHosts();

}  // namespace kestrum
