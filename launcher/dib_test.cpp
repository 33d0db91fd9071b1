#include "launcher/dib.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <random>
#include <vector>

#include "platform/global_memory.h"
#include "platform/testing/allocation_faults.h"

namespace {

#include "launcher/dib_test_pictures.inc"

using Bytes = std::vector<uint8_t>;

// A packed DIB in memory: header, `colours` table entries, then `pixelBytes` bytes.
Bytes MakeDib(int32_t width, int32_t height, uint16_t bits, uint32_t sizeImage, uint32_t clrUsed,
              size_t colours, size_t pixelBytes, uint32_t compression = kBiRgb) {
  Bytes dib(kDibHeaderBytes + 4 * colours + pixelBytes);
  DibHeader h{};
  h.biSize = 40;
  h.biWidth = width;
  h.biHeight = height;
  h.biPlanes = 1;
  h.biBitCount = bits;
  h.biCompression = compression;
  h.biSizeImage = sizeImage;
  h.biXPelsPerMeter = 11808;
  h.biYPelsPerMeter = 11808;
  h.biClrUsed = clrUsed;
  WriteDibHeader(dib.data(), h);
  for (size_t i = 0; i < colours; ++i) {
    uint8_t* entry = &dib[kDibHeaderBytes + 4 * i];
    entry[0] = static_cast<uint8_t>(i);          // blue
    entry[1] = static_cast<uint8_t>(i * 3);      // green
    entry[2] = static_cast<uint8_t>(255 - i);    // red
    entry[3] = 0;
  }
  for (size_t i = 0; i < pixelBytes; ++i) {
    dib[kDibHeaderBytes + 4 * colours + i] = static_cast<uint8_t>(i * 7 + i / 480);
  }
  return dib;
}

// The splash picture's layout: 480x350, 8 bits, no sizes filled in, 2 bytes after the rows.
Bytes MakeSplashLikeDib() { return MakeDib(480, 350, 8, 0, 0, 256, 168000 + 2); }

TEST(DibTest, HeaderReadsAndWritesLittleEndian) {
  uint8_t raw[40] = {40, 0, 0, 0, 0xE0, 1, 0, 0, 0x5E, 1, 0, 0, 1, 0, 8, 0, 1, 0, 0, 0,
                     0x40, 0x90, 2, 0, 0x20, 0x2E, 0, 0, 0x20, 0x2E, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0};
  const DibHeader h = ReadDibHeader(raw);
  EXPECT_EQ(h.biSize, 40u);
  EXPECT_EQ(h.biWidth, 480);
  EXPECT_EQ(h.biHeight, 350);
  EXPECT_EQ(h.biPlanes, 1);
  EXPECT_EQ(h.biBitCount, 8);
  EXPECT_EQ(h.biCompression, kBiRle8);
  EXPECT_EQ(h.biSizeImage, 168000u);
  EXPECT_EQ(h.biXPelsPerMeter, 11808);
  EXPECT_EQ(h.biClrUsed, 256u);
  uint8_t back[40];
  WriteDibHeader(back, h);
  EXPECT_EQ(std::memcmp(raw, back, 40), 0);
}

TEST(DibTest, SizesFollowTheRoundedRowLength) {
  const struct {
    int32_t width, height;
    uint16_t bits;
    uint64_t row, image;
  } cases[] = {
      {480, 350, 8, 480, 168000}, {13, 6, 8, 16, 96}, {1, 1, 1, 4, 4},    {33, 2, 1, 8, 16},
      {3, 3, 24, 12, 36},         {5, -4, 4, 4, 16},  {1, 1, 32, 4, 4},   {0x7FFFFFFF, 1, 32, 0x1FFFFFFFCull, 0x1FFFFFFFCull},
  };
  for (const auto& c : cases) {
    DibHeader h{};
    h.biWidth = c.width;
    h.biHeight = c.height;
    h.biBitCount = c.bits;
    EXPECT_EQ(DibRowBytes(h), c.row) << c.width << "x" << c.height;
    EXPECT_EQ(DibImageBytes(h), c.image) << c.width << "x" << c.height;
  }
}

TEST(DibTest, SplashPictureGetsItsSizeAndColourCount) {
  const Bytes source = MakeSplashLikeDib();
  ASSERT_EQ(source.size(), 169066u);
  const Bytes before = source;
  std::unique_ptr<DibPicture> picture = CompleteDib(source.data(), source.size());
  ASSERT_TRUE(picture);
  const DibHeader h = picture->Header();
  EXPECT_EQ(h.biSizeImage, 168000u);
  EXPECT_EQ(h.biClrUsed, 256u);
  EXPECT_EQ(h.biCompression, kBiRgb);
  EXPECT_EQ(picture->Pixels() - picture->Data(), 40 + 1024);
  EXPECT_EQ(std::memcmp(picture->Pixels(), source.data() + 1064, 168002), 0);
}

// Resources are mapped read-only: completion works on a copy and leaves the source alone.
TEST(DibTest, CompletesAWritableCopyAndNeverTheSource) {
  const Bytes source = MakeSplashLikeDib();
  const Bytes before = source;
  std::unique_ptr<DibPicture> picture = CompleteDib(source.data(), source.size());
  ASSERT_TRUE(picture);
  EXPECT_NE(picture->Data(), source.data());
  EXPECT_EQ(source, before);
  EXPECT_EQ(ReadDibHeader(source.data()).biSizeImage, 0u);
  EXPECT_GE(picture->Size(), source.size());
}

TEST(DibTest, SplashPaletteHasRedAndBlueInPlace) {
  const Bytes source = MakeSplashLikeDib();
  std::unique_ptr<DibPicture> picture = CompleteDib(source.data(), source.size());
  ASSERT_TRUE(picture);
  ASSERT_EQ(DibPaletteEntryCount(*picture), 256u);
  std::vector<PaletteEntry> entries(256);
  FillDibPaletteEntries(*picture, entries.data());
  for (size_t i = 0; i < 256; ++i) {
    const uint8_t* table = &source[40 + 4 * i];
    EXPECT_EQ(entries[i].red, table[2]) << i;
    EXPECT_EQ(entries[i].green, table[1]) << i;
    EXPECT_EQ(entries[i].blue, table[0]) << i;
    EXPECT_EQ(entries[i].flags, 0) << i;
  }
}

TEST(DibTest, SixteenColourPictureKeepsItsFields) {
  const Bytes source = MakeDib(8, 8, 8, 64, 16, 16, 64);
  std::unique_ptr<DibPicture> picture = CompleteDib(source.data(), source.size());
  ASSERT_TRUE(picture);
  EXPECT_EQ(picture->Header().biClrUsed, 16u);
  EXPECT_EQ(picture->Header().biSizeImage, 64u);
  EXPECT_EQ(DibPaletteEntryCount(*picture), 16u);
  // 16 entries of 4 bytes after the header's end.
  EXPECT_EQ(picture->Pixels() - picture->Data(), 40 + 64);
  EXPECT_EQ(picture->Pixels()[0], source[40 + 64]);
}

TEST(DibTest, TrueColourPictureHasNoColourTable) {
  const Bytes source = MakeDib(4, 2, 24, 0, 0, 0, 24);
  std::unique_ptr<DibPicture> picture = CompleteDib(source.data(), source.size());
  ASSERT_TRUE(picture);
  EXPECT_EQ(picture->Header().biClrUsed, 0u);
  EXPECT_EQ(picture->Header().biSizeImage, 24u);
  EXPECT_EQ(picture->Pixels() - picture->Data(), 40);
  EXPECT_EQ(DibPaletteEntryCount(*picture), 0u);
}

TEST(DibTest, SmallDepthsGetFullColourTables) {
  for (uint16_t bits : {1, 4, 8}) {
    const size_t colours = size_t{1} << bits;
    const Bytes source = MakeDib(8, 2, bits, 0, 0, colours, 16);
    std::unique_ptr<DibPicture> picture = CompleteDib(source.data(), source.size());
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->Header().biClrUsed, colours);
  }
}

// A resource that holds fewer pixel bytes than its size says is padded with zero rows, so that
// painting never reads past the picture's block.
TEST(DibTest, ShortPictureIsPaddedToItsFullSize) {
  const Bytes source = MakeDib(16, 4, 8, 0, 0, 256, 20);
  std::unique_ptr<DibPicture> picture = CompleteDib(source.data(), source.size());
  ASSERT_TRUE(picture);
  ASSERT_GE(picture->Size(), size_t{40 + 1024 + 64});
  EXPECT_EQ(std::memcmp(picture->Pixels(), source.data() + 1064, 20), 0);
  for (size_t i = 20; i < 64; ++i) EXPECT_EQ(picture->Pixels()[i], 0) << i;
}

TEST(DibTest, RefusesWhatIsNoPicture) {
  Bytes ok = MakeDib(4, 4, 8, 0, 0, 256, 16);
  EXPECT_FALSE(CompleteDib(nullptr, 100));
  EXPECT_FALSE(CompleteDib(ok.data(), 0));
  EXPECT_FALSE(CompleteDib(ok.data(), 39));
  auto broken = [&](auto change) {
    Bytes dib = ok;
    DibHeader h = ReadDibHeader(dib.data());
    change(h);
    WriteDibHeader(dib.data(), h);
    return CompleteDib(dib.data(), dib.size()) == nullptr;
  };
  EXPECT_TRUE(broken([](DibHeader& h) { h.biSize = 12; }));
  EXPECT_TRUE(broken([](DibHeader& h) { h.biSize = 0x7FFFFFFF; }));
  EXPECT_TRUE(broken([](DibHeader& h) { h.biWidth = 0; }));
  EXPECT_TRUE(broken([](DibHeader& h) { h.biHeight = 0; }));
  EXPECT_TRUE(broken([](DibHeader& h) { h.biBitCount = 0; }));
  EXPECT_TRUE(broken([](DibHeader& h) { h.biBitCount = 64; }));
  EXPECT_TRUE(broken([](DibHeader& h) { h.biWidth = 0x7FFFFFFF; }));
  EXPECT_TRUE(broken([](DibHeader& h) { h.biClrUsed = 0xFFFFFFFF; }));
  EXPECT_TRUE(broken([](DibHeader& h) { h.biSizeImage = 0xFFFFFFFF; }));
  EXPECT_FALSE(broken([](DibHeader&) {}));
}

// The colour of pixel x, y (counted in the file's row order) through the picture's table.
uint32_t Colour(const uint8_t* dib, int x, int y) {
  const DibHeader h = ReadDibHeader(dib);
  const uint8_t* pixels = dib + DibPixelOffset(h);
  const uint8_t index = pixels[y * DibRowBytes(h) + x];
  const uint8_t* entry = dib + h.biSize + 4 * index;
  return entry[0] | (entry[1] << 8) | (entry[2] << 16);
}

struct EncodedPicture {
  const char* name;
  const uint8_t* rle;
  size_t rleSize;
  const uint8_t* reference;
  size_t referenceSize;
};

TEST(DibTest, Rle8FromAnotherEncoderExpandsToTheSamePixels) {
  const EncodedPicture pictures[] = {
      {"mixed", kMixedRle, sizeof(kMixedRle), kMixedRef, sizeof(kMixedRef)},
      {"long", kLongRle, sizeof(kLongRle), kLongRef, sizeof(kLongRef)},
      {"noisy", kNoisyRle, sizeof(kNoisyRle), kNoisyRef, sizeof(kNoisyRef)},
  };
  for (const EncodedPicture& p : pictures) {
    SCOPED_TRACE(p.name);
    ASSERT_EQ(ReadDibHeader(p.rle).biCompression, kBiRle8);
    std::unique_ptr<DibPicture> picture = CompleteDib(p.rle, p.rleSize);
    std::unique_ptr<DibPicture> reference = CompleteDib(p.reference, p.referenceSize);
    ASSERT_TRUE(picture);
    ASSERT_TRUE(reference);
    const DibHeader h = picture->Header();
    EXPECT_EQ(h.biCompression, kBiRgb);
    EXPECT_EQ(h.biSizeImage, DibImageBytes(h));
    ASSERT_GE(picture->Size(), DibPixelOffset(h) + DibImageBytes(h));
    for (int y = 0; y < h.biHeight; ++y) {
      for (int x = 0; x < h.biWidth; ++x) {
        ASSERT_EQ(Colour(picture->Data(), x, y), Colour(reference->Data(), x, y))
            << x << "," << y;
      }
    }
  }
}

// ExpandRle8 on a buffer of exactly max(input, output) bytes, so that the sanitizer sees any
// step outside.
struct Expansion {
  Rle8Result result;
  Bytes out;
};

Expansion Expand(const Bytes& input, size_t outputBytes) {
  const size_t room = std::max(input.size(), outputBytes);
  std::unique_ptr<uint8_t[]> buffer(new uint8_t[room]);
  std::memset(buffer.get(), 0xEE, room);
  if (!input.empty()) std::memcpy(buffer.get(), input.data(), input.size());
  Expansion e;
  e.result = ExpandRle8(buffer.get(), input.size(), outputBytes);
  e.out.assign(buffer.get(), buffer.get() + outputBytes);
  return e;
}

TEST(ExpandRle8Test, EscapesAsTheLauncherReadsThem) {
  const struct {
    const char* name;
    Bytes input;
    size_t output;
    Rle8Result result;
    Bytes want;
  } cases[] = {
      {"runs", {3, 7, 1, 8, 0, 1}, 8, Rle8Result::kComplete, {7, 7, 7, 8, 0, 0, 0, 0}},
      {"end of line to the next 4 bytes", {3, 1, 0, 0, 2, 2, 0, 1}, 8, Rle8Result::kComplete,
       {1, 1, 1, 0, 2, 2, 0, 0}},
      {"end of line on a boundary stays", {4, 1, 0, 0, 1, 2, 0, 1}, 8, Rle8Result::kComplete,
       {1, 1, 1, 1, 2, 0, 0, 0}},
      {"delta leaves the position", {2, 7, 0, 2, 5, 5, 3, 9, 0, 1}, 8, Rle8Result::kComplete,
       {7, 7, 9, 9, 9, 0, 0, 0}},
      {"absolute run, odd length padded", {0, 3, 4, 5, 6, 0xAA, 1, 9, 0, 1}, 6,
       Rle8Result::kComplete, {4, 5, 6, 9, 0, 0}},
      {"absolute run, even length", {0, 4, 4, 5, 6, 7, 1, 9, 0, 1}, 6, Rle8Result::kComplete,
       {4, 5, 6, 7, 9, 0}},
      {"long run", {255, 3, 0, 1}, 255, Rle8Result::kComplete, Bytes(255, 3)},
      {"stops at end of picture", {1, 1, 0, 1, 1, 2}, 3, Rle8Result::kComplete, {1, 0, 0}},
      {"empty input", {}, 4, Rle8Result::kTruncated, {0, 0, 0, 0}},
      {"odd byte at the end", {2, 5, 3}, 4, Rle8Result::kTruncated, {5, 5, 0, 0}},
      {"no end of picture", {2, 5, 2, 6}, 6, Rle8Result::kTruncated, {5, 5, 6, 6, 0, 0}},
      {"run past the output", {6, 4, 0, 1}, 4, Rle8Result::kTruncated, {4, 4, 4, 4}},
      {"absolute run past the output", {0, 5, 1, 2, 3, 4, 5, 0, 0, 1}, 3, Rle8Result::kTruncated,
       {1, 2, 3}},
      {"absolute run past the input", {1, 9, 0, 6, 1, 2}, 8, Rle8Result::kTruncated,
       {9, 1, 2, 0, 0, 0, 0, 0}},
      {"delta cut short", {1, 9, 0, 2, 1}, 2, Rle8Result::kTruncated, {9, 0}},
      {"end of line past the output", {3, 1, 0, 0, 0, 0, 1, 2, 0, 1}, 3, Rle8Result::kTruncated,
       {1, 1, 1}},
  };
  for (const auto& c : cases) {
    const Expansion e = Expand(c.input, c.output);
    EXPECT_EQ(e.result, c.result) << c.name;
    EXPECT_EQ(e.out, c.want) << c.name;
  }
}

TEST(ExpandRle8Test, WithoutMemoryLeavesThePixels) {
  platform::FailGlobalBlockAllocAfterForTesting(0);
  const Expansion e = Expand({3, 7, 0, 1}, 4);
  platform::FailGlobalBlockAllocAfterForTesting(-1);
  EXPECT_EQ(e.result, Rle8Result::kNoMemory);
  EXPECT_EQ(e.out, (Bytes{3, 7, 0, 1}));
}

TEST(ExpandRle8Test, RandomDataStaysInsideItsBuffers) {
  std::mt19937 random(1234);
  for (int round = 0; round < 2000; ++round) {
    Bytes input(random() % 64);
    for (uint8_t& b : input) b = static_cast<uint8_t>(random() % 4 == 0 ? random() % 4 : random());
    Expand(input, random() % 64 + 1);
  }
}

TEST(UnpackDibTest, Rle8PictureReadsAsRgbEvenWithoutMemory) {
  platform::FailGlobalBlockAllocAfterForTesting(0);
  std::unique_ptr<DibPicture> picture = CompleteDib(kMixedRle, sizeof(kMixedRle));
  platform::FailGlobalBlockAllocAfterForTesting(-1);
  ASSERT_TRUE(picture);
  EXPECT_EQ(picture->Header().biCompression, kBiRgb);
  // The compressed bytes are where they were.
  const size_t offset = DibPixelOffset(ReadDibHeader(kMixedRle));
  EXPECT_EQ(std::memcmp(picture->Data() + offset, kMixedRle + offset, sizeof(kMixedRle) - offset),
            0);
}

// Runs for more rows than the picture has: what fits is kept, nothing is written past it.
TEST(UnpackDibTest, ExpansionThatDoesNotFitKeepsWhatFits) {
  Bytes rle = {4, 1, 0, 0, 4, 2, 0, 0, 4, 3, 0, 0, 4, 4, 0, 0, 4, 5, 0, 0, 0, 1};
  Bytes dib = MakeDib(4, 2, 8, static_cast<uint32_t>(rle.size()), 0, 256, 0, kBiRle8);
  dib.insert(dib.end(), rle.begin(), rle.end());
  std::unique_ptr<DibPicture> picture = CompleteDib(dib.data(), dib.size());
  ASSERT_TRUE(picture);
  EXPECT_EQ(picture->Header().biCompression, kBiRgb);
  EXPECT_EQ(picture->Header().biSizeImage, 8u);
  EXPECT_EQ(Bytes(picture->Pixels(), picture->Pixels() + 8), (Bytes{1, 1, 1, 1, 2, 2, 2, 2}));
}

// biSizeImage of an RLE8 picture counts the compressed bytes; the expansion still gets room
// for the whole picture and reads no further than the resource.
TEST(UnpackDibTest, ExpansionGetsRoomForTheWholePicture) {
  Bytes rle = {200, 9, 0, 0, 200, 8, 0, 1};
  Bytes dib = MakeDib(200, 2, 8, static_cast<uint32_t>(rle.size()), 0, 256, 0, kBiRle8);
  dib.insert(dib.end(), rle.begin(), rle.end());
  std::unique_ptr<DibPicture> picture = CompleteDib(dib.data(), dib.size());
  ASSERT_TRUE(picture);
  EXPECT_EQ(picture->Header().biSizeImage, 400u);
  EXPECT_EQ(picture->Pixels()[0], 9);
  EXPECT_EQ(picture->Pixels()[199], 9);
  EXPECT_EQ(picture->Pixels()[200], 8);
  EXPECT_EQ(picture->Pixels()[399], 8);
}

TEST(UnpackDibTest, BitFieldPixelsBeginAfterTheMasks) {
  DibHeader h{};
  h.biSize = 40;
  h.biCompression = kBiBitfields;
  h.biBitCount = 16;
  EXPECT_EQ(DibPixelOffset(h), 52u);
  Bytes dib = MakeDib(2, 2, 16, 0, 0, 0, 12 + 8, kBiBitfields);
  std::unique_ptr<DibPicture> picture = CompleteDib(dib.data(), dib.size());
  ASSERT_TRUE(picture);
  EXPECT_EQ(picture->Header().biCompression, kBiBitfields);
  EXPECT_EQ(picture->Pixels() - picture->Data(), 52);
}

}  // namespace
