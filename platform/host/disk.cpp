// Host temporary folder, free space and removal over the drive-letter view.
// Only generic POSIX code belongs in platform/host.
#include "platform/disk.h"

#include "platform/common/wrappable.h"
#include "platform/host/drive_map.h"

#include <sys/statvfs.h>
#include <unistd.h>

#include <cctype>
#include <cstring>
#include <string>

namespace platform {

namespace {

constexpr char kHostTempFolder[] = "C:\\";

}  // namespace

uint32_t VX_PLATFORM_ENTRY(GetTempFolder)(uint32_t size, char* buffer) {
  const uint32_t length = sizeof kHostTempFolder - 1;
  if (length + 1 > size) return length + 1;
  std::memcpy(buffer, kHostTempFolder, length + 1);
  return length;
}

namespace internal {

// The host has one free-space query; it stands for both of Windows.
double FreeBytesOfRootFolder(const char* root) {
  if (root == nullptr || root[0] == '\0' || root[1] != ':') return 0.0;
  std::string dir = MappedDrive(static_cast<char>(std::toupper(static_cast<unsigned char>(root[0]))));
  if (dir.empty()) return 0.0;
  struct statvfs info;
  if (statvfs(dir.c_str(), &info) != 0) return 0.0;
  return static_cast<double>(info.f_bavail) * static_cast<double>(info.f_frsize);
}

}  // namespace internal

double VX_PLATFORM_ENTRY(GetDriveFreeBytes)(const char* root) {
  return internal::FreeBytesOfRootFolder(root);
}

bool VX_PLATFORM_ENTRY(RemoveFile)(const char* path) {
  std::string host = HostPath(path);
  return !host.empty() && unlink(host.c_str()) == 0;
}

bool VX_PLATFORM_ENTRY(RemoveDir)(const char* path) {
  std::string host = HostPath(path);
  return !host.empty() && rmdir(host.c_str()) == 0;
}

}  // namespace platform
