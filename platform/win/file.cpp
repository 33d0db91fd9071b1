// Windows files: the kernel calls themselves, behind the fault table. Only Windows code
// belongs in platform/win.
#include "platform/file.h"

#include <windows.h>

static_assert(platform::FileAccessRead == GENERIC_READ && platform::FileAccessWrite == GENERIC_WRITE,
              "access rights are passed on unchanged");
static_assert(platform::FileShareRead == FILE_SHARE_READ && platform::FileShareWrite == FILE_SHARE_WRITE,
              "share modes are passed on unchanged");
static_assert(platform::FileCreateNew == CREATE_NEW && platform::FileCreateAlways == CREATE_ALWAYS &&
                  platform::FileOpenExisting == OPEN_EXISTING && platform::FileOpenAlways == OPEN_ALWAYS &&
                  platform::FileTruncateExisting == TRUNCATE_EXISTING,
              "creation dispositions are passed on unchanged");
static_assert(platform::FileBegin == FILE_BEGIN && platform::FileCurrent == FILE_CURRENT &&
                  platform::FileEnd == FILE_END,
              "seek origins are passed on unchanged");
static_assert(platform::FileSeekFailed == INVALID_SET_FILE_POINTER, "the failure value of SetFilePointer");
static_assert(sizeof(DWORD) == sizeof(uint32_t) && sizeof(LONG) == sizeof(int32_t), "32-bit counts");

namespace platform {

namespace {

// Null and INVALID_HANDLE_VALUE are refused before the system sees them: the latter is
// also the pseudo-handle of the current process, which CloseHandle would accept.
bool IsHandle(FileHandle handle) {
  return handle != nullptr && handle != InvalidFileHandle();
}

}  // namespace

FileHandle FileOpen(const char* path, uint32_t access, uint32_t share, uint32_t disposition) {
  if (FileFaults::Take(FileCall::Open) != FileFault::None) {
    SetLastError(ERROR_ACCESS_DENIED);
    return InvalidFileHandle();
  }
  HANDLE handle = CreateFileA(path, access, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
  return handle == INVALID_HANDLE_VALUE ? InvalidFileHandle() : handle;
}

bool FileRead(FileHandle handle, void* buffer, uint32_t count, uint32_t* read) {
  FileFault fault = FileFaults::Take(FileCall::Read);
  if (fault == FileFault::Fail || !IsHandle(handle)) return false;
  if (fault == FileFault::Short) count /= 2;
  DWORD done = 0;
  if (!ReadFile(handle, buffer, count, &done, nullptr)) return false;
  *read = done;
  return true;
}

bool FileWrite(FileHandle handle, const void* buffer, uint32_t count, uint32_t* written) {
  FileFault fault = FileFaults::Take(FileCall::Write);
  if (fault == FileFault::Fail || !IsHandle(handle)) return false;
  if (fault == FileFault::Short) {
    count /= 2;
    if (count == 0) {
      *written = 0;
      return true;
    }
  }
  DWORD done = 0;
  if (!WriteFile(handle, buffer, count, &done, nullptr)) return false;
  *written = done;
  return true;
}

uint32_t FileSeek(FileHandle handle, int32_t distance, uint32_t origin) {
  FileFault fault = FileFaults::Take(FileCall::Seek);
  if (fault == FileFault::Fail || !IsHandle(handle)) return FileSeekFailed;
  // No high part: the distance is taken as signed, and a target beyond 4 GiB fails.
  DWORD position = SetFilePointer(handle, distance, nullptr, origin);
  if (position == INVALID_SET_FILE_POINTER || fault != FileFault::Short || position == 0) return position;
  return SetFilePointer(handle, -1, nullptr, FILE_CURRENT);
}

bool FileLock(FileHandle handle, uint32_t offset, uint32_t length) {
  if (FileFaults::Take(FileCall::Lock) != FileFault::None || !IsHandle(handle)) return false;
  return LockFile(handle, offset, 0, length, 0) != 0;
}

bool FileUnlock(FileHandle handle, uint32_t offset, uint32_t length) {
  if (FileFaults::Take(FileCall::Unlock) != FileFault::None || !IsHandle(handle)) return false;
  return UnlockFile(handle, offset, 0, length, 0) != 0;
}

bool FileClose(FileHandle handle) {
  FileFault fault = FileFaults::Take(FileCall::Close);
  if (!IsHandle(handle)) return false;
  bool closed = CloseHandle(handle) != 0;
  return closed && fault == FileFault::None;
}

}  // namespace platform
