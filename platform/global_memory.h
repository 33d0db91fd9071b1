//===- global_memory.h - Temporary blocks of movable global memory -------===//
// On Windows a block is GlobalAlloc(GMEM_MOVEABLE) memory, locked for the whole time it is in
// use; the host uses the C heap. The contents of a new block are not cleared.
#ifndef VX_PLATFORM_GLOBAL_MEMORY_H
#define VX_PLATFORM_GLOBAL_MEMORY_H

#include <cstddef>

namespace platform {

// A locked block of `size` bytes, or null when none can be had (a size of 0 gives null).
// Give it back with GlobalBlockFree.
void* GlobalBlockAlloc(size_t size);

// Unlocks and frees a block of GlobalBlockAlloc; null does nothing.
void GlobalBlockFree(void* block);

}  // namespace platform

#endif  // VX_PLATFORM_GLOBAL_MEMORY_H
