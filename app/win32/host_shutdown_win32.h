#pragma once

namespace kestrum {

// Records the calling thread as the one that owns the windows and the browser hosts.
void RecordMainThread();

// Closes the browser hosts before the process ends, from any thread: directly on the main
// thread; from another thread by sending the main window WM_APP_CLOSE_HOSTS and waiting at
// most `limitMs` (a hung main thread cannot hold the caller longer). Nothing without a live
// main window.
void CloseBrowserHostsFromAnyThread(unsigned limitMs);

}  // namespace kestrum
