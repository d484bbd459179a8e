#include "common/linux/freed_memory_linux.h"

#include <malloc.h>

namespace kestrum {

void ReturnFreedMemory() {
    malloc_trim(0);  // every arena, not only the top of the main heap
}

}  // namespace kestrum
