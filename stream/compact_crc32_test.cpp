// The compact CRC-32 against zlib's own.
#include "stream/compact_crc32.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <vector>

TEST(CompactCrc32Test, MatchesZlibFromAnyStartAndInPieces) {
  std::vector<unsigned char> data(3001);
  uint32_t seed = 12345;
  for (unsigned char& byte : data) {
    seed = seed * 1103515245u + 12345u;
    byte = static_cast<unsigned char>(seed >> 16);
  }
  EXPECT_EQ(CompactCrc32(0, nullptr, 0), 0u);
  EXPECT_EQ(CompactCrc32(0, reinterpret_cast<const unsigned char*>("123456789"), 9), 0xCBF43926u);
  for (uint32_t start : {0u, 1u, 0xFFFFFFFFu, 0x12345678u}) {
    const uint32_t whole = crc32(start, data.data(), static_cast<uInt>(data.size()));
    EXPECT_EQ(CompactCrc32(start, data.data(), data.size()), whole) << start;
    // In two pieces, as an inflater feeding its output in blocks calls it.
    const uint32_t first = CompactCrc32(start, data.data(), 1000);
    EXPECT_EQ(CompactCrc32(first, data.data() + 1000, data.size() - 1000), whole) << start;
  }
}
