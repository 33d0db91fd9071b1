//===- compact_crc32.h - CRC-32 without tables --------------------------------===//
// The CRC-32 of zlib's crc32() (reflected polynomial 0xEDB88320, inverted before and
// after), computed bit by bit. A few dozen bytes of code in place of zlib's 8 KiB of
// tables, for a program that only ever checks zlib streams, whose trailer is an
// Adler-32: zlib asks for a CRC only for gzip data.
#ifndef VX_STREAM_COMPACT_CRC32_H
#define VX_STREAM_COMPACT_CRC32_H

#include <cstddef>
#include <cstdint>

// crc updated with size bytes at data, as zlib's crc32(crc, data, size) gives it.
uint32_t CompactCrc32(uint32_t crc, const unsigned char* data, size_t size);

#endif  // VX_STREAM_COMPACT_CRC32_H
