// Host global memory: the C heap stands in for the global heap.
#include "platform/global_memory.h"

#include "platform/common/wrappable.h"

#include <cstdlib>

namespace platform {

void* VX_PLATFORM_ENTRY(GlobalBlockAlloc)(size_t size) {
  if (size == 0) return nullptr;
  return std::malloc(size);
}

void GlobalBlockFree(void* block) { std::free(block); }

}  // namespace platform
