// libFuzzer target: the splash picture's loading (CompleteDib with its RLE8 expansion) over
// arbitrary packed DIBs, and ExpandRle8 over arbitrary data in a buffer of exactly the room it
// is given. The expansion is held against a plain decoder of the encoding as dib.h describes
// it; a completed picture must hold its uncompressed pixels and its colour table inside its
// block, and read as BI_RGB when it was RLE8.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include <sanitizer/allocator_interface.h>

#include "launcher/dib.h"
#include "platform/global_memory.h"
#include "platform/testing/allocation_faults.h"

namespace {

void Fail(const char* what) {
  std::fprintf(stderr, "dib_fuzz: %s\n", what);
  std::abort();
}

struct Expansion {
  std::vector<uint8_t> pixels;
  Rle8Result result = Rle8Result::kTruncated;
};

// The encoding byte pair by byte pair: a run (count, value); escapes 0,0 end of line (to the
// next multiple of 4 bytes), 0,1 end of picture, 0,2 delta (two offset bytes, no move), and
// 0,n an absolute run of n bytes padded to an even length.
Expansion ReferenceRle8(const uint8_t* data, size_t inputBytes, size_t outputBytes) {
  Expansion e;
  e.pixels.assign(outputBytes, 0);
  size_t in = 0;
  size_t out = 0;
  bool clipped = false;
  auto put = [&](uint8_t value) {
    if (out < outputBytes) {
      e.pixels[out++] = value;
    } else {
      clipped = true;
    }
  };
  while (inputBytes - in >= 2) {
    const uint8_t first = data[in];
    const uint8_t second = data[in + 1];
    in += 2;
    if (first != 0) {
      for (int k = 0; k < first; ++k) put(second);
    } else if (second == 0) {
      out = std::min(outputBytes, (out + 3) / 4 * 4);
    } else if (second == 1) {
      e.result = clipped ? Rle8Result::kTruncated : Rle8Result::kComplete;
      return e;
    } else if (second == 2) {
      if (inputBytes - in < 2) return e;
      in += 2;
    } else {
      for (int k = 0; k < second; ++k) {
        if (in + k >= inputBytes) return e;
        put(data[in + k]);
      }
      in += second + (second & 1u);
      if (in > inputBytes) return e;
    }
  }
  return e;
}

// ExpandRle8 where the data lie, in a block of exactly the larger of input and output.
void FuzzExpansion(const uint8_t* data, size_t size) {
  if (size < 3) return;
  const size_t outputBytes = data[0] | (data[1] << 8);
  const bool failAllocation = data[2] & 1;
  const uint8_t* input = data + 3;
  const size_t inputBytes = size - 3;
  const size_t room = std::max(inputBytes, outputBytes);
  std::unique_ptr<uint8_t[]> pixels(new uint8_t[room == 0 ? 1 : room]);
  std::memset(pixels.get(), 0xEE, room);
  std::memcpy(pixels.get(), input, inputBytes);
  const std::vector<uint8_t> before(pixels.get(), pixels.get() + room);

  if (failAllocation) platform::FailGlobalBlockAllocAfterForTesting(0);
  const Rle8Result result = ExpandRle8(pixels.get(), inputBytes, outputBytes);
  platform::FailGlobalBlockAllocAfterForTesting(-1);

  if (result == Rle8Result::kNoMemory) {
    if (!failAllocation && outputBytes != 0) Fail("no memory without a failing heap");
    if (!std::equal(before.begin(), before.end(), pixels.get())) Fail("pixels changed without memory");
    return;
  }
  if (failAllocation) Fail("an expansion without memory claims a result");
  const Expansion expected = ReferenceRle8(before.data(), inputBytes, outputBytes);
  if (result != expected.result) Fail("the result differs from the reference decoder's");
  if (!std::equal(expected.pixels.begin(), expected.pixels.end(), pixels.get())) {
    Fail("the pixels differ from the reference decoder's");
  }
  if (!std::equal(before.begin() + static_cast<long>(outputBytes), before.end(),
                  pixels.get() + outputBytes)) {
    Fail("bytes past the output room changed");
  }
}

void CheckPicture(const uint8_t* data, size_t size, const DibPicture& picture) {
  const DibHeader source = ReadDibHeader(data);
  const DibHeader h = picture.Header();
  if (picture.LoadedSize() != size || picture.Size() < size) Fail("the block does not hold the source");
  if (DibPixelOffset(h) + DibImageBytes(h) > picture.Size()) Fail("the pixels reach past the block");
  if (__sanitizer_get_allocated_size(picture.Data()) < picture.Size()) Fail("the block is smaller than its size");

  std::vector<PaletteEntry> palette(DibPaletteEntryCount(picture));
  FillDibPaletteEntries(picture, palette.data());

  if (source.biCompression != kBiRle8) {
    if (h.biCompression != source.biCompression) Fail("the compression of a picture changed");
    return;
  }
  if (h.biCompression != kBiRgb || h.biSizeImage != DibImageBytes(h)) Fail("an RLE8 picture was not unpacked");
  const size_t offset = static_cast<size_t>(DibPixelOffset(h));
  const uint32_t declared = source.biSizeImage != 0 ? source.biSizeImage : h.biSizeImage;
  const size_t inputEnd = std::min<uint64_t>(size, offset + uint64_t{declared});
  const size_t input = inputEnd > offset ? inputEnd - offset : 0;
  const Expansion expected = ReferenceRle8(data + offset, input, h.biSizeImage);
  if (!std::equal(expected.pixels.begin(), expected.pixels.end(), picture.Data() + offset)) {
    Fail("the unpacked pixels differ from the reference decoder's");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  if (data[0] & 1) {
    FuzzExpansion(data + 1, size - 1);
    return 0;
  }
  // The rest is a packed DIB, in a block of its own size so that any read past it shows.
  std::vector<uint8_t> dib(data + 1, data + size);
  std::unique_ptr<DibPicture> picture = CompleteDib(dib.data(), dib.size());
  if (picture) CheckPicture(dib.data(), dib.size(), *picture);
  return 0;
}
