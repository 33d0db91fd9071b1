// Windows directory calls: the runtime library's own. Only Windows code belongs
// in platform/win.
#include "platform/dirs.h"

#include "platform/file.h"

#include <direct.h>
#include <io.h>

#include <cstdlib>

namespace platform {

int Access(const char* path, int mode) { return _access(path, mode); }

int MakeDir(const char* path) {
  const FileFault fault = FileFaults::Take(FileCall::MakeDir);
  if (fault == FileFault::Fail) return -1;
  const int made = _mkdir(path);
  return fault == FileFault::Short ? -1 : made;
}

int ChangeDir(const char* path) {
  if (FileFaults::Take(FileCall::ChangeDir) != FileFault::None) return -1;
  return _chdir(path);
}

char* GetCwd(char* buffer, int size) { return _getcwd(buffer, size); }

void FreeCwd(char* block) { std::free(block); }

int GetDrive() { return _getdrive(); }

int ChangeDrive(int drive) { return _chdrive(drive); }

}  // namespace platform
