// Windows heap: the process heap, as the system's own allocations use. Only Windows code
// belongs in platform/win.
#include "platform/memory.h"

#include "platform/common/allocation_faults.h"

#include <windows.h>

namespace platform {

void* HeapAllocate(size_t size) {
  if (internal::TakeHeapFault()) return nullptr;
  void* block = HeapAlloc(GetProcessHeap(), 0, size == 0 ? 1 : size);
  if (block != nullptr) internal::CountHeapAllocation();
  return block;
}

void HeapRelease(void* block) {
  if (block != nullptr) HeapFree(GetProcessHeap(), 0, block);
}

}  // namespace platform
