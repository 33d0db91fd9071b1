// CRC-32 bit by bit.
#include "stream/compact_crc32.h"

uint32_t CompactCrc32(uint32_t crc, const unsigned char* data, size_t size) {
  crc = ~crc;
  for (size_t i = 0; i < size; ++i) {
    crc ^= data[i];
    for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  return ~crc;
}
