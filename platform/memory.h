//===- memory.h - The general heap ----------------------------------------===//
// Every heap block of the string class comes from here, so that a test can make one
// allocation fail (platform/testing/allocation_faults.h) and check that the caller
// reacts before it changes anything.
#ifndef VX_PLATFORM_MEMORY_H
#define VX_PLATFORM_MEMORY_H

#include <cstddef>
#include <cstdint>

namespace platform {

// Returns size bytes from the general heap, or null when the heap cannot give them. The
// block is released with HeapRelease.
void* HeapAllocate(size_t size);
// Releases a block from HeapAllocate; null is ignored.
void HeapRelease(void* block);

}  // namespace platform

#endif  // VX_PLATFORM_MEMORY_H
