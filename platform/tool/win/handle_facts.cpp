// FileFacts of an open handle.
#include "platform/tool/win/handle_facts.h"

namespace platform_tool {
namespace {

// FILETIME counts 100 ns from 1601; the tools count from 1970.
constexpr int64_t kFileTimeOf1970 = 116444736000000000;
constexpr int64_t kTicksPerSecond = 10000000;

int64_t TicksSince1970(const FILETIME& time) {
  const uint64_t ticks = static_cast<uint64_t>(time.dwHighDateTime) << 32 | time.dwLowDateTime;
  return static_cast<int64_t>(ticks) - kFileTimeOf1970;
}

// Whole seconds, rounded down also before 1970.
int64_t Seconds(int64_t ticks) {
  return ticks >= 0 ? ticks / kTicksPerSecond : -((-ticks + kTicksPerSecond - 1) / kTicksPerSecond);
}

FileKind KindOf(HANDLE handle, DWORD attributes) {
  switch (GetFileType(handle)) {
    case FILE_TYPE_CHAR:
      return FileKind::kDevice;
    case FILE_TYPE_PIPE:
      return FileKind::kFifo;
    case FILE_TYPE_DISK:
      return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? FileKind::kFolder : FileKind::kRegular;
    default:
      return FileKind::kOther;
  }
}

}  // namespace

bool FactsOfHandle(HANDLE handle, FileFacts* facts) {
  BY_HANDLE_FILE_INFORMATION info;
  if (GetFileType(handle) != FILE_TYPE_DISK) {
    // Consoles, NUL and pipes have no file information to give.
    *facts = FileFacts();
    facts->kind = KindOf(handle, 0);
    return true;
  }
  if (!GetFileInformationByHandle(handle, &info)) return false;
  facts->kind = KindOf(handle, info.dwFileAttributes);
  facts->size = static_cast<uint64_t>(info.nFileSizeHigh) << 32 | info.nFileSizeLow;
  const int64_t modified = TicksSince1970(info.ftLastWriteTime);
  facts->modified = Seconds(modified);
  facts->changedOrCreated = Seconds(TicksSince1970(info.ftCreationTime));
  facts->modifiedStamp = modified * 100;
  facts->identity.device = info.dwVolumeSerialNumber;
  facts->identity.index = static_cast<uint64_t>(info.nFileIndexHigh) << 32 | info.nFileIndexLow;
  return true;
}

}  // namespace platform_tool
