#pragma once

namespace kestrum {

// Starts the toolkit on its display, as gtk_init_check does, and says whether it has one.
// A display server that is there sometimes drops a new connection while setting it up (seen
// on loaded machines, the next attempt a moment later succeeds): a failed start is tried
// again, for about two seconds. Without a display named at all it fails at once.
bool StartToolkit(int* argc, char*** argv);

}  // namespace kestrum
