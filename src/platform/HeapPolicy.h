#pragma once

namespace luming {

// Every programme makes and drops buffers of a few MB (the play area's framebuffers, pictures,
// the Flash movie's files). Left to glibc, blocks that large move into the heap once one has
// been freed, and the heap then only grows around them: about 8 MB per programme. Blocks of
// 256 KB and more are kept in mappings of their own instead, which go back to the system when
// freed. Call first thing in main().
void KeepLargeBlocksOutOfTheHeap();

} // namespace luming
