// Windows files: the kernel calls themselves. Only Windows code belongs in platform/win.
#include "platform/file.h"

#include "platform/common/wrappable.h"

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

FileHandle VX_PLATFORM_ENTRY(FileOpen)(const char* path, uint32_t access, uint32_t share,
                                       uint32_t disposition, const void* security) {
  SECURITY_ATTRIBUTES attributes = {sizeof attributes, const_cast<void*>(security), FALSE};
  HANDLE handle = CreateFileA(path, access, share, security != nullptr ? &attributes : nullptr,
                              disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
  return handle == INVALID_HANDLE_VALUE ? InvalidFileHandle() : handle;
}

bool VX_PLATFORM_ENTRY(FileRead)(FileHandle handle, void* buffer, uint32_t count, uint32_t* read) {
  if (!IsHandle(handle)) return false;
  DWORD done = 0;
  if (!ReadFile(handle, buffer, count, &done, nullptr)) return false;
  *read = done;
  return true;
}

bool VX_PLATFORM_ENTRY(FileWrite)(FileHandle handle, const void* buffer, uint32_t count,
                                  uint32_t* written) {
  if (!IsHandle(handle)) return false;
  DWORD done = 0;
  if (!WriteFile(handle, buffer, count, &done, nullptr)) return false;
  *written = done;
  return true;
}

uint32_t VX_PLATFORM_ENTRY(FileSeek)(FileHandle handle, int32_t distance, uint32_t origin) {
  if (!IsHandle(handle)) return FileSeekFailed;
  // No high part: the distance is taken as signed, and a target beyond 4 GiB fails.
  return SetFilePointer(handle, distance, nullptr, origin);
}

bool VX_PLATFORM_ENTRY(FileLock)(FileHandle handle, uint32_t offset, uint32_t length) {
  if (!IsHandle(handle)) return false;
  return LockFile(handle, offset, 0, length, 0) != 0;
}

bool VX_PLATFORM_ENTRY(FileUnlock)(FileHandle handle, uint32_t offset, uint32_t length) {
  if (!IsHandle(handle)) return false;
  return UnlockFile(handle, offset, 0, length, 0) != 0;
}

bool VX_PLATFORM_ENTRY(FileClose)(FileHandle handle) {
  if (!IsHandle(handle)) return false;
  return CloseHandle(handle) != 0;
}

}  // namespace platform
