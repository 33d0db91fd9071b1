//===- extract_entry.h - Unpacking archive entries into files -------------===//
// ExtractArchiveEntry inflates one entry into a new file; UnpackArchive checks
// a whole archive and then unpacks its entries in directory order, telling the
// caller about each one before the next is taken.
//
// Stream failures are the stream layer's VxStreamException and pass through:
// from VxFile a pointer (a file that cannot be created or written), from the
// inflate copier an object (its set-up failed). Damaged compressed data is no
// failure: the entry's file ends where inflating stopped.
#ifndef VX_ARCHIVE_EXTRACT_ENTRY_H
#define VX_ARCHIVE_EXTRACT_ENTRY_H

#include "archive/archive_reader.h"
#include "launcher/file_system.h"

#include <cstdint>

// Creates the missing directories of destination (recorded in dirs unless it is
// null; a failure shows when the file cannot be opened), then creates or
// empties the file destination and writes to it what the zlib stream of
// compressedSize bytes at data inflates to. destination is a full path of at
// most 511 characters; a longer one is not unpacked at all. data is borrowed.
// The three stream objects that do the work are gone when it returns, also
// when it raises.
void ExtractArchiveEntry(const unsigned char* data, uint32_t compressedSize, const char* destination,
                         CreatedDirList* dirs);

// Told about each unpacked entry, for instance to write its "del" line.
class ArchiveEntrySink {
 public:
  virtual void EntryUnpacked(const ArchiveEntry& entry) = 0;

 protected:
  ~ArchiveEntrySink() = default;
};

// Checks the archive at (base, size) and, when it is sound, unpacks every
// entry into workDir (ending with a backslash) and tells sink (may be null)
// after each one. A damaged archive gives its ArchiveError and nothing of it
// is unpacked; otherwise kNone. A stream failure leaves the entries before the
// failing one unpacked and reported.
ArchiveError UnpackArchive(const unsigned char* base, uint32_t size, const VxString& workDir,
                           CreatedDirList* dirs, ArchiveEntrySink* sink);

#endif  // VX_ARCHIVE_EXTRACT_ENTRY_H
