// Host files: the Windows handle semantics of platform/file.h over POSIX. Only generic
// POSIX (and Linux open-file-description lock) code belongs in platform/host.
//
// A handle is a heap record around one file descriptor. What POSIX does not have is kept
// as follows:
//
// Share modes. Windows refuses an open when its access is not shared by an open handle
// of the file, or when it does not share what an open handle already has. Each handle
// announces itself with open-file-description locks (F_OFD_SETLK) on marker bytes far
// beyond any position a 32-bit stream can reach, in four regions: "has read access",
// "has write access", "does not share reading", "does not share writing". Every handle
// locks a byte of its own in a region (the byte is chosen from the process id and a
// counter), so markers never conflict with each other; a test with F_OFD_GETLK over a
// whole region tells whether any other handle, in this process or another, holds one.
// An open first sets its own markers and then tests the regions that matter to it; on a
// conflict it drops everything and fails. Two opens that race may then both fail, but
// never both succeed. The locks go away with the descriptor, so a process that dies
// leaves no stale share state. On a file system without such locks, sharing is not
// enforced.
//
// Range locks. LockFile locks are exclusive and per handle, may not overlap any locked
// range (the handle's own included) and are released only with the exact range that was
// locked. Open-file-description locks are per handle and seen by every process; the
// overlap and exact-range rules are kept with a list of the handle's ranges. Unlike
// Windows, a locked range does not make other handles' reads and writes fail: each read
// and write stays one system call.
//
// Descriptors are opened read-write where the file permits, also for a read-only handle,
// because an exclusive (write) lock needs a descriptor open for writing; the access the
// handle was asked for is enforced here. Where the file permits less, the descriptor gets
// just the access asked for, and the handle's range locks are then shared read locks.
#include "platform/file.h"

#include "platform/common/wrappable.h"
#include "platform/host/drive_map.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <vector>

namespace platform {

namespace {

struct LockedRange {
  uint32_t offset;
  uint32_t length;
};

struct HostFile {
  int fd = -1;
  bool canRead = false;
  bool canWrite = false;
  bool fdWritable = false;
  std::vector<LockedRange> locks;
};

enum Marker { HasRead, HasWrite, DeniesRead, DeniesWrite };

// Regions of 2^56 bytes from 2^60 on: far beyond 4 GiB and still well inside off_t.
constexpr off_t kMarkerBase = off_t(1) << 60;
constexpr off_t kMarkerSpan = off_t(1) << 56;

HostFile* Get(FileHandle handle) {
  if (handle == nullptr || handle == InvalidFileHandle()) {
    errno = EBADF;
    return nullptr;
  }
  return static_cast<HostFile*>(handle);
}

bool SetLock(int fd, short type, off_t start, off_t length) {
  struct flock lock = {};
  lock.l_type = type;
  lock.l_whence = SEEK_SET;
  lock.l_start = start;
  lock.l_len = length;
  return fcntl(fd, F_OFD_SETLK, &lock) == 0;
}

// Whether a handle other than the one of `fd` holds any lock in the region.
bool RegionTaken(int fd, Marker marker) {
  struct flock lock = {};
  lock.l_type = F_WRLCK;
  lock.l_whence = SEEK_SET;
  lock.l_start = kMarkerBase + marker * kMarkerSpan;
  lock.l_len = kMarkerSpan;
  if (fcntl(fd, F_OFD_GETLK, &lock) != 0) return false;
  return lock.l_type != F_UNLCK;
}

// Announces the handle's access and share mode and checks them against the other handles.
// False on a sharing conflict.
bool ClaimShare(const HostFile& file, uint32_t share) {
  static uint32_t counter = 0;
  const off_t slot = (off_t(getpid()) << 32) | counter++;
  const short type = file.fdWritable ? F_WRLCK : F_RDLCK;
  const bool sharesRead = (share & FileShareRead) != 0;
  const bool sharesWrite = (share & FileShareWrite) != 0;
  struct Claim {
    bool wanted;
    Marker marker;
  } claims[] = {
      {file.canRead, HasRead},
      {file.canWrite, HasWrite},
      {!sharesRead, DeniesRead},
      {!sharesWrite, DeniesWrite},
  };
  for (const Claim& claim : claims) {
    if (!claim.wanted) continue;
    if (!SetLock(file.fd, type, kMarkerBase + claim.marker * kMarkerSpan + slot, 1)) {
      // No lock support here: open without share enforcement rather than not at all.
      return errno != EAGAIN && errno != EACCES;
    }
  }
  if (file.canRead && RegionTaken(file.fd, DeniesRead)) return false;
  if (file.canWrite && RegionTaken(file.fd, DeniesWrite)) return false;
  if (!sharesRead && RegionTaken(file.fd, HasRead)) return false;
  if (!sharesWrite && RegionTaken(file.fd, HasWrite)) return false;
  return true;
}

int OpenDescriptor(const std::string& path, int flags, bool read, bool write, bool* fdWritable) {
  int fd;
  do {
    fd = open(path.c_str(), O_RDWR | flags, 0666);
  } while (fd < 0 && errno == EINTR);
  if (fd >= 0) {
    *fdWritable = true;
    return fd;
  }
  if (errno != EACCES && errno != EPERM && errno != EROFS && errno != ETXTBSY) return -1;
  if (read && write) return -1;
  int access = write ? O_WRONLY : O_RDONLY;
  do {
    fd = open(path.c_str(), access | flags, 0666);
  } while (fd < 0 && errno == EINTR);
  *fdWritable = write;
  return fd;
}

std::string HostAbsolutePath(const char* path) {
  std::string hostPath(path);
  for (char& c : hostPath) {
    if (c == '\\') c = '/';
  }
  return hostPath;
}

}  // namespace

FileHandle VX_PLATFORM_ENTRY(FileOpen)(const char* path, uint32_t access, uint32_t share,
                                       uint32_t disposition, const void* /*security*/) {
  if (path == nullptr || *path == '\0') {
    errno = ENOENT;
    return InvalidFileHandle();
  }
  // A host absolute path (only tests and host tools pass one) is taken as it is, but for its
  // backslashes; every other name is a Windows path seen through the drive map, like the
  // directory calls see it.
  std::string hostPath = path[0] == '/' ? HostAbsolutePath(path) : HostPath(path);
  if (hostPath.empty()) {
    errno = ENOENT;
    return InvalidFileHandle();
  }

  int flags = O_CLOEXEC;
  bool truncate = false;
  switch (disposition) {
    case FileCreateNew: flags |= O_CREAT | O_EXCL; break;
    case FileCreateAlways: flags |= O_CREAT; truncate = true; break;
    case FileOpenExisting: break;
    case FileOpenAlways: flags |= O_CREAT; break;
    case FileTruncateExisting: truncate = true; break;
    default: errno = EINVAL; return InvalidFileHandle();
  }
  HostFile* file = new HostFile;
  file->canRead = (access & FileAccessRead) != 0;
  file->canWrite = (access & FileAccessWrite) != 0;
  if (disposition == FileTruncateExisting && !file->canWrite) {
    delete file;
    errno = EINVAL;
    return InvalidFileHandle();
  }
  file->fd = OpenDescriptor(hostPath, flags, file->canRead, file->canWrite, &file->fdWritable);
  if (file->fd < 0) {
    delete file;
    return InvalidFileHandle();
  }
  struct stat info;
  bool ok = fstat(file->fd, &info) == 0 && !S_ISDIR(info.st_mode);
  if (!ok) errno = EISDIR;
  if (ok && !ClaimShare(*file, share)) {
    ok = false;
    errno = EBUSY;
  }
  // Emptying waits for the share check: a refused open must leave the file as it was.
  if (ok && truncate && ftruncate(file->fd, 0) != 0) ok = false;
  if (!ok) {
    int error = errno;
    close(file->fd);
    delete file;
    errno = error;
    return InvalidFileHandle();
  }
  return file;
}

bool VX_PLATFORM_ENTRY(FileRead)(FileHandle handle, void* buffer, uint32_t count, uint32_t* read) {
  HostFile* file = Get(handle);
  if (file == nullptr) return false;
  if (!file->canRead) {
    errno = EBADF;
    return false;
  }
  ssize_t done;
  do {
    done = ::read(file->fd, buffer, count);
  } while (done < 0 && errno == EINTR);
  if (done < 0) return false;
  *read = static_cast<uint32_t>(done);
  return true;
}

bool VX_PLATFORM_ENTRY(FileWrite)(FileHandle handle, const void* buffer, uint32_t count,
                                  uint32_t* written) {
  HostFile* file = Get(handle);
  if (file == nullptr) return false;
  if (!file->canWrite) {
    errno = EBADF;
    return false;
  }
  ssize_t done;
  do {
    done = ::write(file->fd, buffer, count);
  } while (done < 0 && errno == EINTR);
  if (done < 0) return false;
  *written = static_cast<uint32_t>(done);
  return true;
}

uint32_t VX_PLATFORM_ENTRY(FileSeek)(FileHandle handle, int32_t distance, uint32_t origin) {
  HostFile* file = Get(handle);
  if (file == nullptr) return FileSeekFailed;
  int whence;
  switch (origin) {
    case FileBegin: whence = SEEK_SET; break;
    case FileCurrent: whence = SEEK_CUR; break;
    case FileEnd: whence = SEEK_END; break;
    default: errno = EINVAL; return FileSeekFailed;
  }
  off_t old = lseek(file->fd, 0, SEEK_CUR);
  if (old < 0) return FileSeekFailed;
  off_t position = lseek(file->fd, distance, whence);  // a target before 0 fails, unmoved
  if (position < 0) return FileSeekFailed;
  if (position >= off_t(FileSeekFailed)) {
    // SetFilePointer without a high part cannot report this position: fail, unmoved.
    lseek(file->fd, old, SEEK_SET);
    errno = EINVAL;
    return FileSeekFailed;
  }
  return static_cast<uint32_t>(position);
}

bool VX_PLATFORM_ENTRY(FileLock)(FileHandle handle, uint32_t offset, uint32_t length) {
  HostFile* file = Get(handle);
  if (file == nullptr) return false;
  const uint64_t begin = offset, end = uint64_t(offset) + length;
  for (const LockedRange& range : file->locks) {
    if (length != 0 && range.length != 0 && begin < uint64_t(range.offset) + range.length &&
        range.offset < end) {
      errno = EAGAIN;
      return false;
    }
  }
  // l_len 0 would lock to the end of the file and beyond; a zero-length range locks nothing.
  if (length != 0 && !SetLock(file->fd, file->fdWritable ? F_WRLCK : F_RDLCK, off_t(offset), off_t(length))) {
    return false;
  }
  file->locks.push_back({offset, length});
  return true;
}

bool VX_PLATFORM_ENTRY(FileUnlock)(FileHandle handle, uint32_t offset, uint32_t length) {
  HostFile* file = Get(handle);
  if (file == nullptr) return false;
  for (auto it = file->locks.begin(); it != file->locks.end(); ++it) {
    if (it->offset != offset || it->length != length) continue;
    if (length != 0 && !SetLock(file->fd, F_UNLCK, off_t(offset), off_t(length))) return false;
    file->locks.erase(it);
    return true;
  }
  errno = ENOLCK;
  return false;
}

bool VX_PLATFORM_ENTRY(FileClose)(FileHandle handle) {
  HostFile* file = Get(handle);
  if (file == nullptr) return false;
  // Linux releases the descriptor even when close reports EINTR; retrying could close
  // another thread's new descriptor, so EINTR counts as closed.
  bool closed = close(file->fd) == 0 || errno == EINTR;
  delete file;
  return closed;
}

}  // namespace platform
