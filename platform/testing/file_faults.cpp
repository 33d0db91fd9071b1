// The file and folder calls of the test platform library: the fault table first,
// then the real call.
#include "platform/testing/file_faults.h"

#include "platform/dirs.h"
#include "platform/disk.h"
#include "platform/system_error.h"
#include "platform/testing/real_calls.h"
#include "platform/testing/security_recorder.h"

namespace platform {
namespace {

struct Slot {
  FileFault fault = FileFault::None;
  uint32_t passes = 0;
  uint32_t times = 0;
};

Slot table[static_cast<int>(FileCall::Count)];

// ArmAny: calls of any kind still to pass before the one that fails.
bool anyArmed = false;
uint32_t anyPasses = 0;

constexpr uint32_t kErrorGenFailure = 31;
uint32_t faultError = kErrorGenFailure;

bool TakeAny() {
  if (!anyArmed) return false;
  if (anyPasses > 0) {
    --anyPasses;
    return false;
  }
  anyArmed = false;
  return true;
}

}  // namespace

using testing_internal::SystemCall;

void FileFaults::Arm(FileCall call, FileFault fault, uint32_t passes, uint32_t times) {
  Slot& slot = table[static_cast<int>(call)];
  slot.fault = times > 0 ? fault : FileFault::None;
  slot.passes = passes;
  slot.times = times;
}

void FileFaults::ArmAny(uint32_t passes) {
  anyArmed = true;
  anyPasses = passes;
}

void FileFaults::SetError(uint32_t error) { faultError = error; }

void FileFaults::Clear() {
  for (Slot& slot : table) slot = Slot();
  anyArmed = false;
  faultError = kErrorGenFailure;
}

bool FileFaults::Pending(FileCall call) {
  return table[static_cast<int>(call)].fault != FileFault::None;
}

bool FileFaults::AnyPending() { return anyArmed; }

FileFault FileFaults::Take(FileCall call) {
  FileFault fault = FileFault::Fail;
  if (!TakeAny()) {
    Slot& slot = table[static_cast<int>(call)];
    if (slot.fault == FileFault::None) return FileFault::None;
    if (slot.passes > 0) {
      --slot.passes;
      return FileFault::None;
    }
    fault = slot.fault;
    if (--slot.times == 0) slot.fault = FileFault::None;
  }
  SetLastSystemError(faultError);
  return fault;
}

FileHandle FileOpen(const char* path, uint32_t access, uint32_t share, uint32_t disposition,
                    const void* security) {
  SystemCall system;
  if (FileFaults::Take(FileCall::Open) != FileFault::None) return InvalidFileHandle();
  if (security != nullptr) testing_internal::KeepSecuredCreation("file", path, security);
  return RealFileOpen(path, access, share, disposition, security);
}

bool FileRead(FileHandle handle, void* buffer, uint32_t count, uint32_t* read) {
  SystemCall system;
  const FileFault fault = FileFaults::Take(FileCall::Read);
  if (fault == FileFault::Fail) return false;
  return RealFileRead(handle, buffer, fault == FileFault::Short ? count / 2 : count, read);
}

bool FileWrite(FileHandle handle, const void* buffer, uint32_t count, uint32_t* written) {
  SystemCall system;
  const FileFault fault = FileFaults::Take(FileCall::Write);
  if (fault == FileFault::Fail) return false;
  if (fault == FileFault::Short) {
    count /= 2;
    if (count == 0) {
      *written = 0;
      return true;
    }
  }
  return RealFileWrite(handle, buffer, count, written);
}

uint32_t FileSeek(FileHandle handle, int32_t distance, uint32_t origin) {
  SystemCall system;
  const FileFault fault = FileFaults::Take(FileCall::Seek);
  if (fault == FileFault::Fail) return FileSeekFailed;
  const uint32_t position = RealFileSeek(handle, distance, origin);
  if (position == FileSeekFailed || fault != FileFault::Short || position == 0) return position;
  return RealFileSeek(handle, -1, FileCurrent);
}

bool FileLock(FileHandle handle, uint32_t offset, uint32_t length) {
  SystemCall system;
  if (FileFaults::Take(FileCall::Lock) != FileFault::None) return false;
  return RealFileLock(handle, offset, length);
}

bool FileUnlock(FileHandle handle, uint32_t offset, uint32_t length) {
  SystemCall system;
  if (FileFaults::Take(FileCall::Unlock) != FileFault::None) return false;
  return RealFileUnlock(handle, offset, length);
}

bool FileClose(FileHandle handle) {
  SystemCall system;
  const FileFault fault = FileFaults::Take(FileCall::Close);
  const bool closed = RealFileClose(handle);
  return closed && fault == FileFault::None;
}

int MakeDir(const char* path, const void* security) {
  SystemCall system;
  const FileFault fault = FileFaults::Take(FileCall::MakeDir);
  if (fault == FileFault::Fail) return -1;
  if (security != nullptr) testing_internal::KeepSecuredCreation("folder", path, security);
  const int made = RealMakeDir(path, security);
  return fault == FileFault::Short ? -1 : made;
}

int ChangeDir(const char* path) {
  SystemCall system;
  if (FileFaults::Take(FileCall::ChangeDir) != FileFault::None) return -1;
  return RealChangeDir(path);
}

bool RemoveFile(const char* path) {
  SystemCall system;
  if (FileFaults::Take(FileCall::Remove) != FileFault::None) return false;
  return RealRemoveFile(path);
}

bool RemoveDir(const char* path) {
  SystemCall system;
  if (FileFaults::Take(FileCall::Remove) != FileFault::None) return false;
  return RealRemoveDir(path);
}

}  // namespace platform
