//===- allocation_faults.h - Failing allocations (tests only) -------------===//
// The test platform library stands in for the heap of memory.h, the global
// blocks of global_memory.h and the program's operator new, and fails them on
// demand, as zlib's infcover.c supplies an allocator of its own. The product
// links the real allocators alone.
#ifndef VX_PLATFORM_TESTING_ALLOCATION_FAULTS_H
#define VX_PLATFORM_TESTING_ALLOCATION_FAULTS_H

#include <cstdint>

namespace platform {

// The next `count` calls of HeapAllocate (on any thread) return null; 0 disarms.
void FailAllocations(int count);
// How many calls of HeapAllocate have succeeded since the process started.
uint64_t HeapAllocationCount();

// The one allocation that comes after `passes` allocations that still succeed fails,
// counting HeapAllocate and operator new alike (new then raises std::bad_alloc); a
// negative count disarms. AllocationFaultPending tells whether it is still to come.
void FailAllocationAfter(int64_t passes);
bool AllocationFaultPending();

// The next `successes` global blocks succeed as usual, every later one fails, until
// called with a negative count (the default: never fail).
void FailGlobalBlockAllocAfterForTesting(int successes);

}  // namespace platform

#endif  // VX_PLATFORM_TESTING_ALLOCATION_FAULTS_H
