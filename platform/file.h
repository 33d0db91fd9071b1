//===- file.h - Files through handles, with the Windows calls' semantics -===//
// Seven operations that mirror CreateFileA, ReadFile, WriteFile, SetFilePointer,
// LockFile, UnlockFile and CloseHandle. The Windows build makes those calls; the host
// build gives the same behaviour over POSIX (see platform/host/file.cpp for how the
// share modes and range locks are kept). Tests make calls fail through
// platform/testing/file_faults.h.
#ifndef VX_PLATFORM_FILE_H
#define VX_PLATFORM_FILE_H

#include <cstdint>

namespace platform {

// An open file. Null is never a handle; a failed FileOpen returns InvalidFileHandle()
// (INVALID_HANDLE_VALUE on Windows). Every operation fails on either of the two.
using FileHandle = void*;

inline FileHandle InvalidFileHandle() {
  return reinterpret_cast<FileHandle>(static_cast<intptr_t>(-1));
}

// Access rights (GENERIC_READ, GENERIC_WRITE); one or both.
constexpr uint32_t FileAccessRead = 0x80000000u;
constexpr uint32_t FileAccessWrite = 0x40000000u;

// Share mode: what other handles of the same file may do while this one is open
// (FILE_SHARE_READ, FILE_SHARE_WRITE). 0 lets no other handle open the file.
constexpr uint32_t FileShareRead = 0x1u;
constexpr uint32_t FileShareWrite = 0x2u;

// Creation dispositions, with the values of CREATE_NEW .. TRUNCATE_EXISTING.
constexpr uint32_t FileCreateNew = 1;        // fails if the file exists
constexpr uint32_t FileCreateAlways = 2;     // creates, or empties an existing file
constexpr uint32_t FileOpenExisting = 3;     // fails if the file is missing
constexpr uint32_t FileOpenAlways = 4;       // opens unchanged, or creates
constexpr uint32_t FileTruncateExisting = 5; // empties; the file must exist, write access

// Seek origins (FILE_BEGIN, FILE_CURRENT, FILE_END).
constexpr uint32_t FileBegin = 0;
constexpr uint32_t FileCurrent = 1;
constexpr uint32_t FileEnd = 2;

// What FileSeek returns on failure (INVALID_SET_FILE_POINTER).
constexpr uint32_t FileSeekFailed = 0xFFFFFFFFu;

// Opens `path` (8-bit, system code page). On the host, backslashes in the path are taken
// as separators and turned into '/', so that Windows-style relative paths work there too.
// The share check is made before anything is changed: a CreateAlways open that the
// sharing of another handle refuses leaves the file as it was. A directory is refused.
// A file that the call creates gets `security` (a descriptor of platform/security.h) when
// it is not null, else what its folder hands down; the host keeps none. Returns
// InvalidFileHandle() on any failure.
FileHandle FileOpen(const char* path, uint32_t access, uint32_t share, uint32_t disposition,
                    const void* security = nullptr);

// One read of up to `count` bytes at the file position. True with *read set (0 at the
// end of the file, fewer than count near it) on success; false if the handle is not
// open for reading or the system refuses. A short read is not retried.
bool FileRead(FileHandle handle, void* buffer, uint32_t count, uint32_t* read);

// One write of `count` bytes at the file position. True with *written set on success;
// *written may be less than count (disk full). False if the handle is not open for
// writing or the system refuses.
bool FileWrite(FileHandle handle, const void* buffer, uint32_t count, uint32_t* written);

// Moves the position by the signed `distance` from `origin`; returns the new position, or
// FileSeekFailed when the target is before the start (the position is then unchanged).
// Moving past the end is allowed. A target at or beyond 4 GiB - 1 cannot be told apart
// from failure: the host refuses it and stays where it was; Windows moves and returns
// the low 32 bits.
uint32_t FileSeek(FileHandle handle, int32_t distance, uint32_t origin);

// Locks [offset, offset + length) for this handle. Fails if the range overlaps a range
// locked by any handle, this one included, in this or another process.
bool FileLock(FileHandle handle, uint32_t offset, uint32_t length);

// Releases a range that this handle locked with exactly this offset and length; any
// other range fails.
bool FileUnlock(FileHandle handle, uint32_t offset, uint32_t length);

// Closes the handle and releases its locks. After the call the handle is gone, also when
// false is returned.
bool FileClose(FileHandle handle);

}  // namespace platform

#endif  // VX_PLATFORM_FILE_H
