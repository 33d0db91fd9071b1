// VxFile: each operation is one call of the platform file layer.
#include "stream/file_stream.h"

namespace {

[[noreturn]] void RaiseFileError(int32_t code, const char* text = nullptr) {
  throw new VxStreamException(code, text);
}

}  // namespace

VxFile::VxFile() : handle(nullptr), ownsHandle(0) {}

VxFile::VxFile(platform::FileHandle adopted) : handle(adopted), ownsHandle(0) {}

VxFile::VxFile(const char* name, uint32_t mode, const void* security)
    : handle(nullptr), ownsHandle(0) {
  if (Open(name, mode, security) == 0) RaiseFileError(VxErrOpen, name);
}

VxFile::~VxFile() noexcept(false) {
  if (handle != nullptr && ownsHandle == 1) Close();
}

int32_t VxFile::Open(const char* name, uint32_t mode, const void* security) {
  if (handle != nullptr && ownsHandle == 1) platform::FileClose(handle);
  handle = nullptr;
  ownsHandle = 0;

  uint32_t access;
  switch (mode & AccessMask) {
    case OpenRead: access = platform::FileAccessRead; break;
    case OpenWrite: access = platform::FileAccessWrite; break;
    case OpenReadWrite: access = platform::FileAccessRead | platform::FileAccessWrite; break;
    default: return 0;
  }
  uint32_t share;
  switch (mode & ShareMask) {
    case 0:
    case ShareNone: share = 0; break;
    case ShareRead: share = platform::FileShareRead; break;
    case ShareWrite: share = platform::FileShareWrite; break;
    case ShareReadWrite: share = platform::FileShareRead | platform::FileShareWrite; break;
    default: return 0;
  }
  uint32_t disposition = platform::FileOpenExisting;
  if (mode & OpenCreate) {
    disposition = (mode & OpenKeep) ? platform::FileOpenAlways : platform::FileCreateAlways;
    if (mode & OpenNew) disposition = platform::FileCreateNew;
  }

  platform::FileHandle opened = platform::FileOpen(name, access, share, disposition, security);
  if (opened == platform::InvalidFileHandle() || opened == nullptr) return 0;
  handle = opened;
  ownsHandle = 1;
  return 1;
}

void VxFile::Close() {
  bool failed = false;
  if (handle != nullptr) failed = !platform::FileClose(handle);
  handle = nullptr;
  ownsHandle = 0;
  if (failed) RaiseFileError(VxErrClose);
}

uint32_t VxFile::Read(void* buffer, uint32_t count) {
  if (count == 0) return 0;
  uint32_t read = 0;
  if (!platform::FileRead(handle, buffer, count, &read)) RaiseFileError(VxErrRead);
  return read;
}

uint32_t VxFile::Write(const void* buffer, uint32_t count) {
  if (count == 0) return 0;
  uint32_t written = 0;
  if (!platform::FileWrite(handle, buffer, count, &written)) RaiseFileError(VxErrWrite);
  if (written != count) RaiseFileError(VxErrShortWrite);
  return written;
}

uint32_t VxFile::Tell() {
  uint32_t position = platform::FileSeek(handle, 0, platform::FileCurrent);
  if (position == platform::FileSeekFailed) RaiseFileError(VxErrSeek);
  return position;
}

uint32_t VxFile::Seek(int32_t distance, uint32_t origin) {
  uint32_t position = platform::FileSeek(handle, distance, origin);
  if (position == platform::FileSeekFailed) RaiseFileError(VxErrSeek);
  return position;
}

uint32_t VxFile::Length() {
  // Through the virtual Seek, so that a class derived from VxFile positions its own way.
  uint32_t saved = Seek(0, platform::FileCurrent);
  uint32_t length = Seek(0, platform::FileEnd);
  // A saved position of 2 GiB or more becomes a negative distance from the start, which
  // the platform refuses: such a file has no 32-bit length.
  uint32_t back = Seek(static_cast<int32_t>(saved), platform::FileBegin);
  if (back != saved) RaiseFileError(VxErrSeek);
  return length;
}

int32_t VxFile::Lock(uint32_t offset, uint32_t length, int32_t /*reserved*/) {
  return platform::FileLock(handle, offset, length) ? 0 : -1;
}

int32_t VxFile::Unlock(uint32_t offset, uint32_t length) {
  if (!platform::FileUnlock(handle, offset, length)) RaiseFileError(VxErrUnlock);
  return 1;
}
