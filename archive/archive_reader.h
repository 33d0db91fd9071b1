//===- archive_reader.h - Checking and walking an archive's directory -----===//
// ArchiveReader walks the directory of one archive resource (archive_format.h)
// for the launcher's sequence, one entry at a time, giving each entry's name,
// data and destination in the work folder. Before the first entry it checks
// the whole directory against the resource's real size and every name against
// the work folder, so that a damaged archive is refused before anything of it
// is unpacked:
//
//   ArchiveReader reader(bytes, size, workDir);
//   if (reader.Check() != ArchiveError::kNone) ... nothing unpacked, nothing to delete
//   ArchiveEntry entry;
//   while (reader.Next(&entry)) {
//     ExtractArchiveEntry(entry.data, entry.compressedSize, entry.destination, dirs);
//     ... "del" line for entry.destination
//   }
//
// The reader neither unpacks nor writes anything itself.
#ifndef VX_ARCHIVE_ARCHIVE_READER_H
#define VX_ARCHIVE_ARCHIVE_READER_H

#include "archive/archive_format.h"
#include "string/vx_string.h"

#include <cstdint>

// Why an archive is damaged. The numbers are stable; kNone is 0 and every
// other value means that no entry of the archive may be unpacked.
enum class ArchiveError : int {
  kNone = 0,
  kHeaderCut = 1,             // fewer than the 4 bytes of dirOffset
  kDirectoryOutOfRange = 2,   // dirOffset below 4, or no room for the entry count behind it
  kCountTooLarge = 3,         // more records than the bytes behind the count can hold
  kRecordCut = 4,             // a record runs past the end of the resource
  kDataOutOfRange = 5,        // an entry's stream not inside the data area (4 to dirOffset)
  kBadName = 6,               // a name that is not a plain relative path (entry_name.h)
  kDestinationTooLong = 7,    // work folder and name above 511 characters
};

// A short English text for error, for a message or a log line; never null.
const char* ArchiveErrorText(ArchiveError error);

// One directory record as the walk hands it out. The pointers stay valid until
// the next call of Next or the reader's destruction.
struct ArchiveEntry {
  const char* name;             // the name with a terminating zero
  uint32_t nameLength;
  const unsigned char* data;    // resource start + dataOffset
  uint32_t dataOffset;
  uint32_t compressedSize;
  uint32_t uncompressedSize;    // read past, never compared
  uint32_t time1;               // time stamps, read past, not applied
  uint32_t time2;
  uint32_t time3;
  const char* destination;      // the work folder followed by the name, at most 511 characters
};

class ArchiveReader {
 public:
  // base and size: the locked resource and its real size, borrowed for the
  // reader's life. workDir: the work folder path ending with a backslash.
  ArchiveReader(const unsigned char* base, uint32_t size, const VxString& workDir);
  ~ArchiveReader();
  ArchiveReader(const ArchiveReader&) = delete;
  ArchiveReader& operator=(const ArchiveReader&) = delete;

  // Checks the header, the directory, every record, every stream's place and
  // every name. Repeats give the same result.
  ArchiveError Check();
  // The record that failed the check, counted from 0; the entry count when the
  // failure is not one record's.
  uint32_t GetFailedEntry() const { return failedEntry_; }
  // The number of entries; 0 until Check has passed.
  uint32_t GetEntryCount() const { return checked_ ? count_ : 0; }

  // The next entry in directory order. False at the end, and always false
  // before Check has passed.
  bool Next(ArchiveEntry* entry);

 private:
  ArchiveError Fail(ArchiveError error, uint32_t entry);
  void ReleaseName();

  const unsigned char* base_;
  uint32_t size_;
  VxString workDir_;
  bool checked_ = false;
  ArchiveError error_ = ArchiveError::kNone;
  uint32_t failedEntry_ = 0;
  uint32_t count_ = 0;
  // Walk state: the position in the directory, the entry counter, the current
  // name's own heap block and the destination buffer.
  uint32_t position_ = 0;
  uint32_t taken_ = 0;
  char* name_ = nullptr;
  char destination_[archive_format::kDestinationBufferSize];
};

#endif  // VX_ARCHIVE_ARCHIVE_READER_H
