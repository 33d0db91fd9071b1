// Short (8.3) paths. Only Windows code belongs in platform/win.
#include "platform/short_path.h"

#include <windows.h>

namespace platform {

uint32_t GetShortPath(const char* path, char* buffer, uint32_t size) {
  return GetShortPathNameA(path, buffer, size);
}

}  // namespace platform
