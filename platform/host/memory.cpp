// Host heap: the C runtime's allocator. Only generic POSIX/compiler code belongs in platform/host.
#include "platform/memory.h"

#include "platform/common/allocation_faults.h"

#include <cstdlib>

namespace platform {

void* HeapAllocate(size_t size) {
  if (internal::TakeHeapFault()) return nullptr;
  void* block = std::malloc(size == 0 ? 1 : size);
  if (block != nullptr) internal::CountHeapAllocation();
  return block;
}

void HeapRelease(void* block) { std::free(block); }

}  // namespace platform
