#include "archive/archive_verify.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdint>
#include <string>

namespace {

// A zlib stream of `zeros` zero bytes followed by `tail`, built from one deflated mebibyte
// repeated: each piece ends in a full flush, so none looks back past its own start.
std::string ZerosThenTail(uint64_t zeros, const std::string& tail) {
  constexpr uint32_t kPiece = 1 << 20;
  z_stream zs{};
  EXPECT_EQ(Z_OK, deflateInit(&zs, 9));
  std::string zero(kPiece, '\0');
  std::string out(kPiece, '\0');
  auto deflateAll = [&](const std::string& in, int flush) {
    zs.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(in.data()));
    zs.avail_in = static_cast<uInt>(in.size());
    zs.next_out = reinterpret_cast<Bytef*>(&out[0]);
    zs.avail_out = static_cast<uInt>(out.size());
    EXPECT_NE(Z_STREAM_ERROR, deflate(&zs, flush));
    return out.substr(0, out.size() - zs.avail_out);
  };
  const std::string first = deflateAll(zero, Z_FULL_FLUSH);  // the 2-byte header, then a piece
  const std::string piece = first.substr(2);
  std::string stream = first;
  for (uint64_t done = kPiece; done < zeros; done += kPiece) stream += piece;
  std::string last = deflateAll(tail, Z_FINISH);
  deflateEnd(&zs);
  // The trailer of the whole data: over zeros, the sum of the bytes stays 1 and the sum of
  // the sums grows by one per byte.
  const uLong adler = adler32_combine(static_cast<uLong>(((zeros % 65521) << 16) | 1),
                                      adler32(1, reinterpret_cast<const Bytef*>(tail.data()),
                                              static_cast<uInt>(tail.size())),
                                      static_cast<z_off_t>(tail.size()));
  for (int i = 0; i < 4; ++i) last[last.size() - 4 + i] = static_cast<char>(adler >> (24 - 8 * i));
  return stream + last;
}

// The count of inflated bytes must not wrap at 4 GiB, where zlib's own count (a uLong) does
// on Windows: 4 GiB and five bytes are not five bytes.
TEST(CheckZlibStreamTest, FourGibibytesMoreThanExpectedIsRefused) {
  const std::string small = ZerosThenTail(1 << 20, "tail!");
  ArchiveProblem why;
  ASSERT_TRUE(CheckZlibStream(reinterpret_cast<const unsigned char*>(small.data()),
                              static_cast<uint32_t>(small.size()), (1 << 20) + 5, &why))
      << why.text;

  const std::string huge = ZerosThenTail(uint64_t(1) << 32, "tail!");
  EXPECT_FALSE(CheckZlibStream(reinterpret_cast<const unsigned char*>(huge.data()),
                               static_cast<uint32_t>(huge.size()), 5, &why));
  EXPECT_STREQ("inflates to more than the 5 bytes the directory says", why.text);
}

}  // namespace
