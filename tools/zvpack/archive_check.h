//===- archive_check.h - Listing, verifying and unpacking one archive ----------===//
// All three go through the launcher's own ArchiveReader (and, for unpacking,
// ExtractArchiveEntry), so the tool sees an archive exactly as the launcher
// does. The archive bytes are borrowed. Failures come back as one line in
// *error that names the first failing entry.
#ifndef VX_TOOLS_ZVPACK_ARCHIVE_CHECK_H
#define VX_TOOLS_ZVPACK_ARCHIVE_CHECK_H

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "archive/archive_verify.h"

namespace zvpack {

// One line per entry (data offset, compressed and inflated size, name) and a
// total line, written to out. Needs only the reader's bounds checks to pass.
bool ListArchive(const unsigned char* base, size_t size, std::FILE* out, std::string* error);

// The full check, the launcher's own (archive/archive_verify.h), with its
// reason as a string.
bool VerifyArchive(const unsigned char* base, size_t size, std::string* error);
bool CheckZlibStream(const unsigned char* data, uint32_t size, uint32_t expected, std::string* why);

// Verifies, then unpacks every entry into the host directory hostDir (made
// when missing) through ExtractArchiveEntry. For the time of the call the
// directory gets a free letter of the host drive view, that drive is current
// and the process's current directory is the directory (both restored at the
// end), so the entries go through the launcher's own path handling; not for
// use from two threads at once. A damaged archive is
// refused before anything of it is written. With verbose each name is
// printed to out.
bool ExtractArchive(const unsigned char* base, size_t size, const std::string& hostDir, bool verbose,
                    std::FILE* out, std::string* error);

}  // namespace zvpack

#endif  // VX_TOOLS_ZVPACK_ARCHIVE_CHECK_H
