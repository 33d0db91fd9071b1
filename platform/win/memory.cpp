// Windows heap: the process heap, as the system's own allocations use. Only Windows code
// belongs in platform/win.
#include "platform/memory.h"

#include <windows.h>

#include <atomic>

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
  void* block = HeapAlloc(GetProcessHeap(), 0, size == 0 ? 1 : size);
  if (block != nullptr) ++allocations;
  return block;
}

void HeapRelease(void* block) {
  if (block != nullptr) HeapFree(GetProcessHeap(), 0, block);
}

void FailAllocations(int count) { pendingFaults.store(count < 0 ? 0 : count); }

uint64_t HeapAllocationCount() { return allocations.load(); }

}  // namespace platform
