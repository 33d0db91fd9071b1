// Test seams of the allocators, shared by the host and Windows builds.
#include "platform/common/allocation_faults.h"

#include "platform/global_memory.h"
#include "platform/memory.h"

#include <atomic>

namespace platform {
namespace {

std::atomic<int> pendingHeapFaults{0};
std::atomic<uint64_t> heapAllocations{0};
int globalBlocksLeft = -1;  // negative: never fail

}  // namespace

namespace internal {

bool TakeHeapFault() {
  int pending = pendingHeapFaults.load();
  while (pending > 0) {
    if (pendingHeapFaults.compare_exchange_weak(pending, pending - 1)) return true;
  }
  return false;
}

void CountHeapAllocation() { ++heapAllocations; }

bool TakeGlobalBlockFault() {
  if (globalBlocksLeft == 0) return true;
  if (globalBlocksLeft > 0) --globalBlocksLeft;
  return false;
}

}  // namespace internal

void FailAllocations(int count) { pendingHeapFaults.store(count < 0 ? 0 : count); }

uint64_t HeapAllocationCount() { return heapAllocations.load(); }

void FailGlobalBlockAllocAfterForTesting(int successes) { globalBlocksLeft = successes; }

}  // namespace platform
