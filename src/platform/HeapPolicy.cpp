#include "platform/HeapPolicy.h"

#include <malloc.h>

namespace luming {

void KeepLargeBlocksOutOfTheHeap() {
    // A fixed threshold also stops glibc from raising it after each large free.
    mallopt(M_MMAP_THRESHOLD, 256 * 1024);
}

} // namespace luming
