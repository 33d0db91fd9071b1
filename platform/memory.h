//===- memory.h - The general heap, with a fault hook for tests ----------===//
// Every heap block of the string class comes from here, so that a test can make one
// allocation fail and check that the caller reacts before it changes anything.
#ifndef VX_PLATFORM_MEMORY_H
#define VX_PLATFORM_MEMORY_H

#include <cstddef>
#include <cstdint>

namespace platform {

// Returns size bytes from the general heap, or null when the heap cannot give them (or a
// fault armed by FailAllocations is due). The block is released with HeapRelease.
void* HeapAllocate(size_t size);
// Releases a block from HeapAllocate; null is ignored.
void HeapRelease(void* block);

// Test hook: the next `count` calls of HeapAllocate (on any thread) return null; 0 disarms.
void FailAllocations(int count);
// Test hook: how many calls of HeapAllocate have succeeded since the process started.
uint64_t HeapAllocationCount();

}  // namespace platform

#endif  // VX_PLATFORM_MEMORY_H
