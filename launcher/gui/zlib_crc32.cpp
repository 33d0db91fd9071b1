// zlib's crc32() for the product, bound here so that the linker takes it in place of
// zlib's table-driven one (8 KiB of tables). The launcher inflates zlib streams only; zlib
// calls crc32() for gzip data, which none of its archives holds.
#include "stream/compact_crc32.h"

#include <zlib.h>

extern "C" uLong ZEXPORT crc32(uLong crc, const Bytef* buf, uInt len) {
  if (buf == Z_NULL) return 0;
  return CompactCrc32(static_cast<uint32_t>(crc), buf, len);
}
