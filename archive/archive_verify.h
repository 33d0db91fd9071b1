//===- archive_verify.h - The full integrity check of one archive ---------===//
// Beyond the reader's bounds checks (archive_reader.h), an archive made for the
// launcher keeps a fixed layout and every stream must inflate cleanly. The
// check reads the bytes only and inflates into a scratch block; nothing is
// written. Failures come back as one line that names the first failing entry,
// in a fixed buffer, so that the launcher needs no string library for it.
#ifndef VX_ARCHIVE_ARCHIVE_VERIFY_H
#define VX_ARCHIVE_ARCHIVE_VERIFY_H

#include "archive/archive_reader.h"

#include <cstddef>
#include <cstdint>

// Why a check failed: one NUL-terminated line, empty while nothing failed.
// Room for an entry label with a name of the longest length and its reason.
struct ArchiveProblem {
  static constexpr size_t kSize = 512;
  char text[kSize] = "";
};

// Runs the reader's Check; on failure *problem says why, naming the record
// where the damage is in one. An archive above 4 GiB fails at once.
bool CheckArchiveDirectory(ArchiveReader* reader, size_t size, ArchiveProblem* problem);

// The first stream at offset 4, each further one right behind the one before
// (no gap, no overlap), the directory right behind the last stream and ending
// the archive, time3 not below time1 or time2, and every stream a complete
// zlib stream whose Adler-32 holds, that inflates to exactly uncompressedSize
// and is followed by nothing. The bytes are borrowed.
bool VerifyArchive(const unsigned char* base, size_t size, ArchiveProblem* problem);

// Checks one zlib stream of size bytes: complete, valid Adler-32, nothing
// behind it, inflating to exactly expected bytes. *why says what is wrong.
bool CheckZlibStream(const unsigned char* data, uint32_t size, uint32_t expected, ArchiveProblem* why);

// Sets *problem to "entry 3 \"Data\\b.dat\": " (how messages name an entry)
// followed by the printf-formatted reason.
void SetEntryProblem(ArchiveProblem* problem, uint32_t index, const ArchiveEntry& entry, const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 4, 5)))
#endif
    ;

// size as the reader takes it; 0 (an archive too short to hold anything) when
// it does not fit 32 bits.
uint32_t ArchiveSize32(size_t size);

#endif  // VX_ARCHIVE_ARCHIVE_VERIFY_H
