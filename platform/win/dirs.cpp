// Windows directory calls: the runtime library's own. Only Windows code belongs
// in platform/win.
#include "platform/dirs.h"

#include "platform/common/wrappable.h"

#include <windows.h>

#include <direct.h>
#include <io.h>

#include <cstdlib>

namespace platform {

int VX_PLATFORM_ENTRY(Access)(const char* path, int mode) { return _access(path, mode); }

int VX_PLATFORM_ENTRY(MakeDir)(const char* path, const void* security) {
  if (security == nullptr) return _mkdir(path);
  SECURITY_ATTRIBUTES attributes = {sizeof attributes, const_cast<void*>(security), FALSE};
  return CreateDirectoryA(path, &attributes) ? 0 : -1;
}

int VX_PLATFORM_ENTRY(ChangeDir)(const char* path) { return _chdir(path); }

char* VX_PLATFORM_ENTRY(GetCwd)(char* buffer, int size) { return _getcwd(buffer, size); }

void FreeCwd(char* block) { std::free(block); }

int VX_PLATFORM_ENTRY(GetDrive)() { return _getdrive(); }

int VX_PLATFORM_ENTRY(ChangeDrive)(int drive) { return _chdrive(drive); }

}  // namespace platform
