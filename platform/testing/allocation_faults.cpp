// The allocators of the test platform library: the armed faults first, then the
// real allocator. operator new is replaced here too, for every test program,
// so that a sweep reaches the allocations of lists, streams and exceptions.
#include "platform/testing/allocation_faults.h"

#include "platform/global_memory.h"
#include "platform/memory.h"
#include "platform/testing/real_calls.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace platform {
namespace {

std::atomic<int> pendingHeapFaults{0};
std::atomic<uint64_t> heapAllocations{0};
// FailAllocationAfter: allocations still to pass; negative: none armed.
std::atomic<int64_t> allocationsBeforeFault{-1};
int globalBlocksLeft = -1;  // negative: never fail

bool TakeHeapFault() {
  int pending = pendingHeapFaults.load();
  while (pending > 0) {
    if (pendingHeapFaults.compare_exchange_weak(pending, pending - 1)) return true;
  }
  return false;
}

}  // namespace

namespace testing_internal {

// True when the allocation about to be made is the one FailAllocationAfter armed.
bool TakeCountedFault() {
  int64_t left = allocationsBeforeFault.load(std::memory_order_relaxed);
  while (left >= 0) {
    if (allocationsBeforeFault.compare_exchange_weak(left, left - 1)) return left == 0;
  }
  return false;
}

}  // namespace testing_internal

void FailAllocations(int count) { pendingHeapFaults.store(count < 0 ? 0 : count); }

uint64_t HeapAllocationCount() { return heapAllocations.load(); }

void FailAllocationAfter(int64_t passes) { allocationsBeforeFault.store(passes < 0 ? -1 : passes); }

bool AllocationFaultPending() { return allocationsBeforeFault.load() >= 0; }

void FailGlobalBlockAllocAfterForTesting(int successes) { globalBlocksLeft = successes; }

void* HeapAllocate(size_t size) {
  if (TakeHeapFault() || testing_internal::TakeCountedFault()) return nullptr;
  void* block = RealHeapAllocate(size);
  if (block != nullptr) ++heapAllocations;
  return block;
}

void* GlobalBlockAlloc(size_t size) {
  if (size != 0 && globalBlocksLeft == 0) return nullptr;
  if (size != 0 && globalBlocksLeft > 0) --globalBlocksLeft;
  return RealGlobalBlockAlloc(size);
}

}  // namespace platform

namespace {

// The system's own allocations (the host's stand-ins for it use operator new) are not the
// program's, and are never failed.
bool TakeNewFault() {
  return !platform::testing_internal::InSystemCall() && platform::testing_internal::TakeCountedFault();
}

void* NewBlock(std::size_t size) {
  if (TakeNewFault()) throw std::bad_alloc();
  void* block = std::malloc(size == 0 ? 1 : size);
  if (block == nullptr) throw std::bad_alloc();
  return block;
}

// The no-throw forms fail the same allocation with null.
void* NewBlockOrNull(std::size_t size) noexcept {
  if (TakeNewFault()) return nullptr;
  return std::malloc(size == 0 ? 1 : size);
}

}  // namespace

void* operator new(std::size_t size) { return NewBlock(size); }
void* operator new[](std::size_t size) { return NewBlock(size); }
void operator delete(void* block) noexcept { std::free(block); }
void operator delete[](void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }
void operator delete[](void* block, std::size_t) noexcept { std::free(block); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return NewBlockOrNull(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return NewBlockOrNull(size); }
void operator delete(void* block, const std::nothrow_t&) noexcept { std::free(block); }
void operator delete[](void* block, const std::nothrow_t&) noexcept { std::free(block); }
