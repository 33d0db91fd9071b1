//===- file_stream.h - VxFile, the stream over an operating-system file --===//
// A VxFile is a reader, a writer and a stream at once; handed out through any of its
// views it acts on the same handle and the same file position. It keeps no buffer: every
// Read and Write of a nonzero count is exactly one platform call, so what is written is
// in the file when Write returns.
//
// States (handle, ownsHandle):
//   no handle  null, 0      the default constructor, a failed Open, Close from any state
//   adopted    given, 0     the constructor from a handle; destruction leaves it open
//   owned      opened, 1    a successful Open; destruction closes it
//
// Failures are raised as a pointer to a newly allocated VxStreamException, which the
// catcher owns and deletes: `catch (VxStreamException* e) { ...; delete e; }`. Read,
// Write, Tell, Seek, Length and Unlock leave the stream as it was, usable again. Open
// (returns 0) and Lock (returns -1) report failure by their result instead. Operations on
// a stream without a handle reach the platform with null, which fails, and raise.
#ifndef VX_STREAM_FILE_STREAM_H
#define VX_STREAM_FILE_STREAM_H

#include <cstdint>

#include "platform/file.h"
#include "stream/stream_exception.h"
#include "stream/stream_interfaces.h"

class VxFile : public VxInOutStream {
 public:
  // Open mode: an access field, a share field and two creation bits; other bits are
  // ignored.
  static constexpr uint32_t AccessMask = 0x0003;
  static constexpr uint32_t OpenRead = 0x0000;
  static constexpr uint32_t OpenWrite = 0x0001;
  static constexpr uint32_t OpenReadWrite = 0x0002;  // 0x0003 is refused
  static constexpr uint32_t ShareMask = 0x0070;      // no share bits: as ShareNone
  static constexpr uint32_t ShareNone = 0x0010;
  static constexpr uint32_t ShareRead = 0x0020;
  static constexpr uint32_t ShareWrite = 0x0030;
  static constexpr uint32_t ShareReadWrite = 0x0040;  // 0x0050..0x0070 are refused
  // Without OpenCreate the file must exist. OpenCreate alone creates a missing file or
  // empties an existing one; with OpenKeep it opens an existing file unchanged or creates
  // a missing one. OpenKeep alone has no effect.
  static constexpr uint32_t OpenCreate = 0x1000;
  static constexpr uint32_t OpenKeep = 0x2000;
  // With OpenCreate: the file is made new, and the open fails when anything of that name
  // exists already (a file, a folder, a link), so nothing planted there is written through.
  // Takes precedence over OpenKeep.
  static constexpr uint32_t OpenNew = 0x4000;

  // Holds no handle.
  VxFile();
  // Adopts `handle` without owning it: destruction leaves it open, Close closes it.
  explicit VxFile(platform::FileHandle handle);
  // Opens `name` (8-bit path, system code page) with `mode`; if Open returns 0, raises
  // code 7 with a copy of `name` as its text.
  VxFile(const char* name, uint32_t mode, const void* security = nullptr);

  VxFile(const VxFile&) = delete;
  VxFile& operator=(const VxFile&) = delete;

  // One platform read. 0 at the end of the file; a short read is not retried. Count 0
  // returns 0 without a platform call. Raises 1 when the platform read fails.
  uint32_t Read(void* buffer, uint32_t count) override;

  // Closes the handle if the stream owns it. A failing close raises code 8 out of the
  // destructor (and out of delete, which still frees the object).
  virtual ~VxFile() noexcept(false);

  // One platform write. Count 0 returns 0 without a platform call. Raises 2 when the
  // platform write fails and 3 when it wrote fewer bytes than asked; returns count.
  uint32_t Write(const void* buffer, uint32_t count) override;

  // The size; saves and restores the position through Seek. Raises 4 when a seek fails or
  // the position cannot be restored.
  uint32_t Length() override;
  // Raises 4 when the platform positioning call fails.
  uint32_t Tell() override;
  // Raises 4 when the platform positioning call fails (for instance before the start).
  uint32_t Seek(int32_t distance, uint32_t origin) override;
  // Locks the byte range; `reserved` is ignored. 0 on success, -1 on failure.
  int32_t Lock(uint32_t offset, uint32_t length, int32_t reserved) override;
  // Releases a range locked through this handle with the same offset and length; returns
  // nonzero. Raises 6 for any other range, or when the platform refuses.
  int32_t Unlock(uint32_t offset, uint32_t length) override;

  // Opens `name` with `mode`; 1 when the file is open, 0 when the platform refused or the
  // mode has an access value of 3 or a share value of 0x50..0x70. Never raises. Meant for
  // a stream without a handle; a handle the stream holds is dropped first (an owned one
  // closed, a close failure ignored).
  // A file it creates gets `security` when that is not null (platform/file.h).
  int32_t Open(const char* name, uint32_t mode, const void* security = nullptr);

  // Closes the held handle, owned or adopted; nothing happens without one. The stream
  // holds no handle afterwards, also when the platform refused, which raises code 8.
  void Close();

  platform::FileHandle GetHandle() const { return handle; }
  bool OwnsHandle() const { return ownsHandle != 0; }

 private:
  platform::FileHandle handle;
  int32_t ownsHandle;
};

#endif  // VX_STREAM_FILE_STREAM_H
