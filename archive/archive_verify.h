//===- archive_verify.h - The full integrity check of one archive ---------===//
// Beyond the reader's bounds checks (archive_reader.h), an archive made for the
// launcher keeps a fixed layout and every stream must inflate cleanly. The
// check reads the bytes only and inflates into a scratch block; nothing is
// written. Failures come back as one line that names the first failing entry.
#ifndef VX_ARCHIVE_ARCHIVE_VERIFY_H
#define VX_ARCHIVE_ARCHIVE_VERIFY_H

#include "archive/archive_reader.h"

#include <cstddef>
#include <cstdint>
#include <string>

// Runs the reader's Check; on failure *error says why, naming the record where
// the damage is in one. An archive above 4 GiB fails at once.
bool CheckArchiveDirectory(ArchiveReader* reader, size_t size, std::string* error);

// The first stream at offset 4, each further one right behind the one before
// (no gap, no overlap), the directory right behind the last stream and ending
// the archive, time3 not below time1 or time2, and every stream a complete
// zlib stream whose Adler-32 holds, that inflates to exactly uncompressedSize
// and is followed by nothing. The bytes are borrowed.
bool VerifyArchive(const unsigned char* base, size_t size, std::string* error);

// Checks one zlib stream of size bytes: complete, valid Adler-32, nothing
// behind it, inflating to exactly expected bytes. *why says what is wrong.
bool CheckZlibStream(const unsigned char* data, uint32_t size, uint32_t expected, std::string* why);

// "entry 3 \"Data\\b.dat\"": how messages name an entry.
std::string ArchiveEntryLabel(uint32_t index, const ArchiveEntry& entry);

// size as the reader takes it; 0 (an archive too short to hold anything) when
// it does not fit 32 bits.
uint32_t ArchiveSize32(size_t size);

#endif  // VX_ARCHIVE_ARCHIVE_VERIFY_H
