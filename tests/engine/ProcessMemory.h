#pragma once

#include <cstdint>

namespace luming::test {

// Proportional set size of this process and all its descendants, in KiB: shared pages are
// counted once across the tree.
int64_t ProcessTreePssKib();

} // namespace luming::test
