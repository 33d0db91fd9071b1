// Host heap: the C runtime's allocator. Only generic POSIX/compiler code belongs in platform/host.
#include "platform/memory.h"

#include "platform/common/wrappable.h"

#include <cstdlib>

namespace platform {

void* VX_PLATFORM_ENTRY(HeapAllocate)(size_t size) { return std::malloc(size == 0 ? 1 : size); }

void HeapRelease(void* block) { std::free(block); }

}  // namespace platform
