//===- archive_format.h - Layout of a "ZVArc" archive resource ------------===//
// An archive resource: a u32 dirOffset at offset 0, the entries' zlib streams
// from offset 4 on, and at dirOffset a u32 entry count followed by that many
// variable-length records. All integers are little-endian and unsigned; offsets
// count from the first byte of the resource.
//
// Record: nameLength (1 byte, n), n name bytes without a terminating zero,
// then six u32: dataOffset, compressedSize, uncompressedSize, time1, time2,
// time3 (seconds since 1970-01-01 UTC). Only the name, dataOffset and
// compressedSize are used when unpacking.
#ifndef VX_ARCHIVE_ARCHIVE_FORMAT_H
#define VX_ARCHIVE_ARCHIVE_FORMAT_H

#include <cstddef>
#include <cstdint>

namespace archive_format {

constexpr uint32_t kHeaderSize = 4;        // dirOffset
constexpr uint32_t kCountSize = 4;         // entry count at dirOffset
constexpr uint32_t kRecordFixedSize = 25;  // nameLength byte and six u32
constexpr uint32_t kRecordTailSize = 24;   // the six u32 behind the name
constexpr uint32_t kMaxNameLength = 255;   // one length byte
// The destination buffer: the work folder path, the name and a terminating zero.
constexpr size_t kDestinationBufferSize = 512;
constexpr size_t kMaxDestinationLength = kDestinationBufferSize - 1;

static_assert(kRecordFixedSize == 1 + kRecordTailSize, "a record is its length byte, name and six u32");
static_assert(kRecordTailSize == 6 * sizeof(uint32_t), "six u32 follow the name");

// The u32 at p, little-endian, whatever the host's byte order and alignment.
inline uint32_t ReadU32(const unsigned char* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
         static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

}  // namespace archive_format

#endif  // VX_ARCHIVE_ARCHIVE_FORMAT_H
