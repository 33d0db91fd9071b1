//===- disk_overrides.h - Temporary folder and free space set by tests ----===//
// Tests only. While set, GetTempFolder and GetDriveFreeBytes (disk.h) answer with
// these instead of asking the system. Single-threaded.
#ifndef VX_PLATFORM_TESTING_DISK_OVERRIDES_H
#define VX_PLATFORM_TESTING_DISK_OVERRIDES_H

namespace platform {

// A null path clears the temporary-folder override.
void SetTempFolderForTesting(const char* path);
void SetDriveFreeBytesForTesting(double freeBytes);
void ClearDriveFreeBytesForTesting();
// While hide is true, GetDriveFreeBytes answers as if the extended free-space call were
// missing: the GetDiskFreeSpaceA fallback measures. The host has one query for both.
void HideExtendedFreeSpaceForTesting(bool hide);

}  // namespace platform

#endif  // VX_PLATFORM_TESTING_DISK_OVERRIDES_H
