//===- compress.h - One file's bytes to one zlib stream -------------------===//
// Every stream made here is a zlib stream (two-byte header, deflate data,
// Adler-32 trailer) that the launcher's inflater reads unchanged, begins with
// the header bytes 78 9C at every level, and depends on the input bytes and the
// settings alone, never on the thread that made it.
#ifndef VX_TOOLS_ZVPACK_COMPRESS_H
#define VX_TOOLS_ZVPACK_COMPRESS_H

#include <string>

namespace zvpack {

// zlib's levels 0..9, and beyond them libdeflate's strongest level: the
// smallest streams, at many times the cost of zlib's level 9.
constexpr int kBestLevel = 12;

// Compresses data at level (0..9 or kBestLevel) into *stream. False, with a
// line for the user in *error, when the library fails (for instance for want
// of memory).
bool CompressToZlibStream(const std::string& data, int level, std::string* stream, std::string* error);

}  // namespace zvpack

#endif  // VX_TOOLS_ZVPACK_COMPRESS_H
