#pragma once

#include <glib.h>

#include "common/linux/freed_memory_linux.h"

namespace kestrum {

// A page's load ends a burst of work (for the first page, the whole start): what it freed goes
// back to the system after `delayMs`, once this thread's main loop has nothing else to do.
// Calls made while one return is still waiting are that one.
inline void ReturnFreedMemoryWhenIdle(guint delayMs = 0) {
    static guint waiting = 0;
    if (waiting != 0)
        return;
    waiting = g_timeout_add_full(
        G_PRIORITY_LOW, delayMs,
        [](gpointer) -> gboolean {
            waiting = 0;
            ReturnFreedMemory();
            return G_SOURCE_REMOVE;
        },
        nullptr, nullptr);
}

}  // namespace kestrum
