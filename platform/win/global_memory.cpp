// Windows global memory: movable blocks, locked while in use. Only Windows code belongs in
// platform/win.
#include "platform/global_memory.h"

#include "platform/common/wrappable.h"

#include <windows.h>

namespace platform {

void* VX_PLATFORM_ENTRY(GlobalBlockAlloc)(size_t size) {
  if (size == 0) return nullptr;
  HGLOBAL handle = GlobalAlloc(GMEM_MOVEABLE, size);
  if (!handle) return nullptr;
  void* block = GlobalLock(handle);
  if (!block) GlobalFree(handle);
  return block;
}

void GlobalBlockFree(void* block) {
  if (!block) return;
  // A locked movable block gives its handle back from its address.
  HGLOBAL handle = GlobalHandle(block);
  GlobalUnlock(handle);
  GlobalFree(handle);
}

}  // namespace platform
