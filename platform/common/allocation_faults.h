//===- allocation_faults.h - Armed allocation failures (internal) --------===//
// Internal to platform/: the test seams of memory.h and global_memory.h keep their state
// here, so that the host and the Windows allocators share one implementation of them.
#ifndef VX_PLATFORM_COMMON_ALLOCATION_FAULTS_H
#define VX_PLATFORM_COMMON_ALLOCATION_FAULTS_H

namespace platform {
namespace internal {

// True when an armed heap fault is consumed; the caller then fails its allocation.
// Safe when several threads allocate at once.
bool TakeHeapFault();
// Counts one successful heap allocation.
void CountHeapAllocation();

// True when the global-block allocation about to be made must fail.
bool TakeGlobalBlockFault();

}  // namespace internal
}  // namespace platform

#endif  // VX_PLATFORM_COMMON_ALLOCATION_FAULTS_H
