//===- disk.h - Temporary folder, free space and file removal -------------===//
// The temporary folder as GetTempPathA gives it, the free bytes of a drive
// (GetDiskFreeSpaceExA when the system has it, else GetDiskFreeSpaceA) and the
// removal of files and empty folders. The host build answers over the
// drive-letter view (platform/host/drive_map.h). Tests set the temporary folder
// and the free figure through platform/testing/disk_overrides.h.
#ifndef VX_PLATFORM_DISK_H
#define VX_PLATFORM_DISK_H

#include <cstdint>

namespace platform {

// GetTempPathA(size, buffer): the length of the path copied to buffer (its
// terminator not counted), the size needed when buffer is too small (buffer
// then unchanged), 0 on failure. The path normally ends with a backslash; it
// is passed on as the system gives it, unchecked. The host gives "C:\".
uint32_t GetTempFolder(uint32_t size, char* buffer);

// Free bytes available to the caller on root ("C:", a drive letter and a
// colon). Windows: GetDiskFreeSpaceExA, looked up at run time in kernel32.dll,
// its figure for the calling user (0 when the call fails); without it the
// product sectors per cluster x bytes per sector x free clusters of
// GetDiskFreeSpaceA on the drive's root folder ("C:\"), each converted to
// double first, or 0 when that call fails. Host: the free space
// of the host directory that the drive stands for, 0 when it is not mapped.
double GetDriveFreeBytes(const char* root);

// DeleteFileA and RemoveDirectoryA (the folder must be empty and not current
// anywhere in this process on Windows). True on success.
bool RemoveFile(const char* path);
bool RemoveDir(const char* path);

}  // namespace platform

#endif  // VX_PLATFORM_DISK_H
