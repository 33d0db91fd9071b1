//===- dirs.h - Current drive, current directory and directory calls ------===//
// The runtime library's directory calls with their Windows results. On Windows
// these are _access, _mkdir, _chdir, _getcwd, _getdrive and _chdrive themselves.
// The host build gives the same behaviour over a drive-letter view of the host
// file system (platform/host/drive_map.h): Windows paths with backslashes, one
// current directory per drive, and a current drive.
#ifndef VX_PLATFORM_DIRS_H
#define VX_PLATFORM_DIRS_H

namespace platform {

// Access modes of Access: existence, write permission, read permission.
enum : int { kAccessExists = 0, kAccessWrite = 2, kAccessRead = 4 };

// 0 when path exists and allows mode, -1 otherwise (_access).
int Access(const char* path, int mode);

// 0 when the directory was made, -1 otherwise (_mkdir). With a security
// descriptor (platform/security.h) it is made with it (CreateDirectoryA); the
// host keeps none.
int MakeDir(const char* path, const void* security = nullptr);

// 0 when path names a directory that is now current, -1 otherwise (_chdir).
// A path with a drive letter also makes that drive current.
int ChangeDir(const char* path);

// The current directory of the current drive in Windows form ("C:\TEMP\x",
// "C:\" for a root), never with a trailing backslash except at a root (_getcwd).
// With a null buffer the result is a new block of at least size bytes that the
// caller releases with FreeCwd; otherwise buffer is filled and returned. Null
// when the directory does not fit into size bytes or cannot be determined.
char* GetCwd(char* buffer, int size);
void FreeCwd(char* block);

// The current drive, 1 for A to 26 for Z (_getdrive).
int GetDrive();

// 0 when drive (1 to 26) is now current, -1 otherwise (_chdrive). The drive's
// own current directory becomes the current directory.
int ChangeDrive(int drive);

}  // namespace platform

#endif  // VX_PLATFORM_DIRS_H
