// Windows heap: the process heap, as the system's own allocations use. Only Windows code
// belongs in platform/win.
#include "platform/memory.h"

#include "platform/common/wrappable.h"

#include <windows.h>

namespace platform {

void* VX_PLATFORM_ENTRY(HeapAllocate)(size_t size) {
  return HeapAlloc(GetProcessHeap(), 0, size == 0 ? 1 : size);
}

void HeapRelease(void* block) {
  if (block != nullptr) HeapFree(GetProcessHeap(), 0, block);
}

}  // namespace platform
