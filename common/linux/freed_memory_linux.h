#pragma once

namespace kestrum {

// Hands the memory this process has freed back to the system. The allocator keeps freed
// blocks for reuse, so a burst of work (a start, a page's first load) otherwise leaves the
// process as large as at its peak. Costs a walk of the heap's free blocks: call it after such
// a burst, when the thread is idle, not in a loop.
void ReturnFreedMemory();

}  // namespace kestrum
