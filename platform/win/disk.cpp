// Windows temporary folder, free space and removal. Only Windows code belongs
// in platform/win.
#include "platform/disk.h"

#include "platform/common/wrappable.h"
#include "platform/win/system_library.h"

#include <windows.h>

namespace platform {

namespace {

using GetDiskFreeSpaceExAFunction = BOOL(WINAPI*)(LPCSTR, PULARGE_INTEGER, PULARGE_INTEGER,
                                                  PULARGE_INTEGER);

// The extended call is missing from the first Windows 95 release, so it is
// looked up rather than imported; without it the launcher would not load there.
GetDiskFreeSpaceExAFunction FindGetDiskFreeSpaceEx() {
  return internal::FindFunction<GetDiskFreeSpaceExAFunction>(GetModuleHandleA("kernel32.dll"),
                                                             "GetDiskFreeSpaceExA");
}

}  // namespace

namespace internal {

// GetDiskFreeSpaceA documents its root as a drive's root folder, with the
// backslash ("C:\"); a bare "C:" names the drive's current folder, which the
// older systems that lack the extended call refuse.
double FreeBytesOfRootFolder(const char* root) {
  char rootFolder[4] = {root[0], ':', '\\', '\0'};
  DWORD sectorsPerCluster = 0;
  DWORD bytesPerSector = 0;
  DWORD freeClusters = 0;
  DWORD totalClusters = 0;
  if (!GetDiskFreeSpaceA(rootFolder, &sectorsPerCluster, &bytesPerSector, &freeClusters,
                         &totalClusters)) {
    return 0.0;
  }
  // In floating point, so that volumes above 4 GiB do not wrap.
  return static_cast<double>(sectorsPerCluster) * static_cast<double>(bytesPerSector) *
         static_cast<double>(freeClusters);
}

}  // namespace internal

uint32_t VX_PLATFORM_ENTRY(GetTempFolder)(uint32_t size, char* buffer) {
  return GetTempPathA(size, buffer);
}

double VX_PLATFORM_ENTRY(GetDriveFreeBytes)(const char* root) {
  GetDiskFreeSpaceExAFunction getFreeEx = FindGetDiskFreeSpaceEx();
  if (getFreeEx != nullptr) {
    ULARGE_INTEGER available;
    ULARGE_INTEGER total;
    available.QuadPart = 0;
    total.QuadPart = 0;
    // The result is not looked at: a failed call leaves the figure at 0.
    getFreeEx(root, &available, &total, nullptr);
    return static_cast<double>(static_cast<int64_t>(available.QuadPart));
  }
  return internal::FreeBytesOfRootFolder(root);
}

bool VX_PLATFORM_ENTRY(RemoveFile)(const char* path) { return DeleteFileA(path) != 0; }

bool VX_PLATFORM_ENTRY(RemoveDir)(const char* path) { return RemoveDirectoryA(path) != 0; }

}  // namespace platform
