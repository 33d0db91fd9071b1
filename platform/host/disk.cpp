// Host temporary folder, free space and removal over the drive-letter view.
// Only generic POSIX code belongs in platform/host.
#include "platform/disk.h"

#include "platform/common/test_overrides.h"
#include "platform/host/drive_map.h"

#include <sys/statvfs.h>
#include <unistd.h>

#include <cctype>
#include <string>

namespace platform {

uint32_t GetTempFolder(uint32_t size, char* buffer) {
  const char* path = internal::TempFolderOverride();
  return internal::CopyAsTempPath(path != nullptr ? path : "C:\\", size, buffer);
}

double GetDriveFreeBytes(const char* root) {
  double overridden = 0.0;
  if (internal::FreeBytesOverride(&overridden)) return overridden;
  if (root == nullptr || root[0] == '\0' || root[1] != ':') return 0.0;
  std::string dir = MappedDrive(static_cast<char>(std::toupper(static_cast<unsigned char>(root[0]))));
  if (dir.empty()) return 0.0;
  struct statvfs info;
  if (statvfs(dir.c_str(), &info) != 0) return 0.0;
  return static_cast<double>(info.f_bavail) * static_cast<double>(info.f_frsize);
}

bool RemoveFile(const char* path) {
  std::string host = HostPath(path);
  return !host.empty() && unlink(host.c_str()) == 0;
}

void HideExtendedFreeSpaceForTesting(bool) {}

bool RemoveDir(const char* path) {
  std::string host = HostPath(path);
  return !host.empty() && rmdir(host.c_str()) == 0;
}

}  // namespace platform
