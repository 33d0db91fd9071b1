// Tests that the compressed streams are the same bytes in every build: the host links Debian's
// zlib and libdeflate, the Windows build the same versions compiled from their sources.
#include "tools/zvpack/compress.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdint>
#include <string>

namespace {

// About 300 KB of text-like bytes with repeats near and far, the same on every build.
std::string SampleInput() {
  static const char* const kWords[] = {"Zelvora", "setup", "archive", "\xe9t\xe9", "photo", "\r\n", " ", "0x1F"};
  std::string text;
  uint32_t state = 12345;
  while (text.size() < 300000) {
    state = state * 1103515245u + 12345u;
    const uint32_t pick = (state >> 16) % 64;
    if (pick < 8) {
      text += kWords[pick];
    } else if (pick < 12 && text.size() > 5000) {
      text += text.substr(text.size() - 5000 + (state >> 8) % 4000, 40);  // a far repeat
    } else {
      text += static_cast<char>('a' + pick % 26);
    }
  }
  return text;
}

TEST(CompressTest, StreamsAreTheSameBytesInEveryBuild) {
  const std::string input = SampleInput();
  const struct {
    int level;
    size_t size;
    uLong crc;
  } kExpected[] = {{1, 90682, 1448036107}, {6, 70593, 448518015}, {9, 70306, 2944272310},
                   {zvpack::kBestLevel, 67861, 1988086518}};
  for (const auto& e : kExpected) {
    std::string stream, error;
    ASSERT_TRUE(zvpack::CompressToZlibStream(input, e.level, &stream, &error)) << error;
    const uLong crc = crc32(0, reinterpret_cast<const Bytef*>(stream.data()), static_cast<uInt>(stream.size()));
    EXPECT_EQ(stream.size(), e.size) << "level " << e.level;
    EXPECT_EQ(crc, e.crc) << "level " << e.level;
  }
}

}  // namespace
