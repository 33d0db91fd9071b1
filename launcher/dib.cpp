// Packed DIBs: header completion, RLE8 expansion and palette entries.
#include "launcher/dib.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "platform/global_memory.h"

namespace {

// Limits beyond which a header is taken for damage rather than a picture.
constexpr uint64_t kMaxImageBytes = 64u << 20;
constexpr uint32_t kMaxColours = 65535;  // palNumEntries is 16 bits

uint16_t Get16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }

uint32_t Get32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
         (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

void Put16(uint8_t* p, uint16_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
}

void Put32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

uint64_t Magnitude(int32_t v) {
  return v < 0 ? static_cast<uint64_t>(-static_cast<int64_t>(v)) : static_cast<uint64_t>(v);
}

}  // namespace

DibHeader ReadDibHeader(const uint8_t* dib) {
  DibHeader h;
  h.biSize = Get32(dib + 0);
  h.biWidth = static_cast<int32_t>(Get32(dib + 4));
  h.biHeight = static_cast<int32_t>(Get32(dib + 8));
  h.biPlanes = Get16(dib + 12);
  h.biBitCount = Get16(dib + 14);
  h.biCompression = Get32(dib + 16);
  h.biSizeImage = Get32(dib + 20);
  h.biXPelsPerMeter = static_cast<int32_t>(Get32(dib + 24));
  h.biYPelsPerMeter = static_cast<int32_t>(Get32(dib + 28));
  h.biClrUsed = Get32(dib + 32);
  h.biClrImportant = Get32(dib + 36);
  return h;
}

void WriteDibHeader(uint8_t* dib, const DibHeader& h) {
  Put32(dib + 0, h.biSize);
  Put32(dib + 4, static_cast<uint32_t>(h.biWidth));
  Put32(dib + 8, static_cast<uint32_t>(h.biHeight));
  Put16(dib + 12, h.biPlanes);
  Put16(dib + 14, h.biBitCount);
  Put32(dib + 16, h.biCompression);
  Put32(dib + 20, h.biSizeImage);
  Put32(dib + 24, static_cast<uint32_t>(h.biXPelsPerMeter));
  Put32(dib + 28, static_cast<uint32_t>(h.biYPelsPerMeter));
  Put32(dib + 32, h.biClrUsed);
  Put32(dib + 36, h.biClrImportant);
}

uint64_t DibRowBytes(const DibHeader& h) {
  return ((Magnitude(h.biWidth) * h.biBitCount + 31) & ~uint64_t{31}) / 8;
}

uint64_t DibImageBytes(const DibHeader& h) { return DibRowBytes(h) * Magnitude(h.biHeight); }

uint64_t DibPixelOffset(const DibHeader& h) {
  uint64_t offset = h.biSize;
  if (h.biCompression == kBiBitfields && h.biSize == kDibHeaderBytes) offset += 12;
  return offset + 4 * uint64_t{h.biClrUsed};
}

DibPicture::~DibPicture() { delete[] bytes_; }

std::unique_ptr<DibPicture> CompleteDib(const void* packedDib, size_t size) {
  const uint8_t* source = static_cast<const uint8_t*>(packedDib);
  if (!source || size < kDibHeaderBytes) return nullptr;
  DibHeader h = ReadDibHeader(source);
  if (h.biSize < kDibHeaderBytes || h.biSize > size) return nullptr;
  if (h.biWidth == 0 || h.biHeight == 0 || h.biBitCount == 0 || h.biBitCount > 32) return nullptr;
  const uint64_t imageBytes = DibImageBytes(h);
  if (imageBytes > kMaxImageBytes) return nullptr;

  if (h.biSizeImage == 0) h.biSizeImage = static_cast<uint32_t>(imageBytes);
  // Up to 8 bits per pixel a picture has a full colour table unless it says otherwise; with
  // more it has none.
  if (h.biClrUsed == 0 && h.biBitCount <= 8) h.biClrUsed = uint32_t{1} << h.biBitCount;
  if (h.biClrUsed > kMaxColours) return nullptr;

  const uint64_t pixelOffset = DibPixelOffset(h);
  const uint64_t pixelRoom = std::max<uint64_t>(h.biSizeImage, imageBytes);
  if (pixelRoom > kMaxImageBytes) return nullptr;
  const size_t blockSize = static_cast<size_t>(std::max<uint64_t>(size, pixelOffset + pixelRoom));
  uint8_t* block = new (std::nothrow) uint8_t[blockSize];
  if (!block) return nullptr;
  std::memcpy(block, source, size);
  std::memset(block + size, 0, blockSize - size);
  WriteDibHeader(block, h);

  std::unique_ptr<DibPicture> picture(new (std::nothrow) DibPicture(block, blockSize, size));
  if (!picture) {
    delete[] block;
    return nullptr;
  }
  UnpackDib(*picture);
  return picture;
}

void UnpackDib(DibPicture& picture) {
  DibHeader h = picture.Header();
  if (h.biCompression != kBiRle8) return;
  const size_t offset = static_cast<size_t>(DibPixelOffset(h));
  const size_t inputEnd = std::min(picture.LoadedSize(), offset + size_t{h.biSizeImage});
  const size_t input = inputEnd > offset ? inputEnd - offset : 0;
  // The block holds at least the uncompressed picture after the colour table.
  const size_t output = static_cast<size_t>(DibImageBytes(h));
  ExpandRle8(picture.Data() + offset, input, output);
  h.biCompression = kBiRgb;
  h.biSizeImage = static_cast<uint32_t>(output);
  picture.SetHeader(h);
}

Rle8Result ExpandRle8(uint8_t* pixels, size_t inputBytes, size_t outputBytes) {
  uint8_t* block = static_cast<uint8_t*>(platform::GlobalBlockAlloc(outputBytes));
  if (!block) return Rle8Result::kNoMemory;
  // Cleared, so that what the data never reach reads as colour 0 rather than stale memory.
  std::memset(block, 0, outputBytes);

  Rle8Result result = Rle8Result::kTruncated;
  bool clipped = false;
  size_t in = 0;
  size_t out = 0;
  // Writes n bytes of `from` (or n copies of `value` when from is null) at the output position,
  // keeping to the block; the position moves by n even where the bytes did not fit.
  auto emit = [&](const uint8_t* from, uint8_t value, size_t n) {
    const size_t room = out < outputBytes ? outputBytes - out : 0;
    const size_t fits = std::min(n, room);
    if (from)
      std::memcpy(block + out, from, fits);
    else
      std::memset(block + out, value, fits);
    if (fits < n) clipped = true;
    out = std::min(out + n, outputBytes);
  };

  while (inputBytes - in >= 2) {
    const uint8_t count = pixels[in];
    const uint8_t value = pixels[in + 1];
    in += 2;
    if (count != 0) {
      emit(nullptr, value, count);
    } else if (value == 0) {
      // End of line: on to the next 4-byte boundary, which ends a full row.
      out = std::min((out + 3) & ~size_t{3}, outputBytes);
    } else if (value == 1) {
      result = clipped ? Rle8Result::kTruncated : Rle8Result::kComplete;
      break;
    } else if (value == 2) {
      // Delta: the offsets are skipped, not applied.
      if (inputBytes - in < 2) break;
      in += 2;
    } else {
      const size_t available = std::min<size_t>(value, inputBytes - in);
      emit(pixels + in, 0, available);
      if (available < value) break;
      // Absolute runs are padded to 16 bits.
      in += value + (value & 1);
      if (in > inputBytes) break;
    }
  }

  std::memcpy(pixels, block, outputBytes);
  platform::GlobalBlockFree(block);
  return result;
}

size_t DibPaletteEntryCount(const DibPicture& picture) { return picture.Header().biClrUsed; }

void FillDibPaletteEntries(const DibPicture& picture, PaletteEntry* entries) {
  const DibHeader h = picture.Header();
  // The table ends where the pixels begin (after the masks of a bit-field picture).
  const uint8_t* table = picture.Data() + DibPixelOffset(h) - 4 * uint64_t{h.biClrUsed};
  for (size_t i = 0; i < h.biClrUsed; ++i) {
    const uint8_t* colour = table + 4 * i;
    entries[i] = PaletteEntry{colour[2], colour[1], colour[0], 0};
  }
}
