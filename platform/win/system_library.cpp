// Loading libraries from the system folder by full path.
#include "platform/win/system_library.h"

#include <cstring>

namespace platform {
namespace internal {

HMODULE LoadSystemLibrary(const char* name) {
  char path[MAX_PATH];
  const UINT length = GetSystemDirectoryA(path, MAX_PATH);
  const size_t nameLength = std::strlen(name);
  if (length == 0 || length + 1 + nameLength + 1 > MAX_PATH) return nullptr;
  path[length] = '\\';
  std::memcpy(path + length + 1, name, nameLength + 1);
  return LoadLibraryA(path);
}

}  // namespace internal
}  // namespace platform
