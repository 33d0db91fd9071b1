// Host heap: the C runtime's allocator. Only generic POSIX/compiler code belongs in platform/host.
#include "platform/memory.h"

#include <atomic>
#include <cstdlib>

namespace platform {

namespace {
std::atomic<int> pendingFaults{0};
std::atomic<uint64_t> allocations{0};

// Consumes one armed fault, if any; safe when several threads allocate at once.
bool TakeFault() {
  int pending = pendingFaults.load();
  while (pending > 0) {
    if (pendingFaults.compare_exchange_weak(pending, pending - 1)) return true;
  }
  return false;
}
}  // namespace

void* HeapAllocate(size_t size) {
  if (TakeFault()) return nullptr;
  void* block = std::malloc(size == 0 ? 1 : size);
  if (block != nullptr) ++allocations;
  return block;
}

void HeapRelease(void* block) { std::free(block); }

void FailAllocations(int count) { pendingFaults.store(count < 0 ? 0 : count); }

uint64_t HeapAllocationCount() { return allocations.load(); }

}  // namespace platform
