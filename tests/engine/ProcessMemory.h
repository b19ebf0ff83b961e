#pragma once

#include <cstdint>

#include <unistd.h>

namespace luming::test {

// Proportional set size of process `pid` alone, in KiB.
int64_t ProcessPssKib(int pid);

// Proportional set size of process `root` (this one by default) and all its descendants, in
// KiB: shared pages are counted once across the tree.
int64_t ProcessTreePssKib(int root = getpid());

} // namespace luming::test
