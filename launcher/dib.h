//===- dib.h - Packed device-independent bitmaps: loading and unpacking --===//
// The portable half of the splash picture: completing a packed DIB's header, expanding RLE8
// pixels and turning its colour table into palette entries. The window code (gui/splash.h)
// finds the resource, makes the palette and paints.
//
// A bitmap resource is mapped read-only, so a picture is never completed where it lies: it is
// copied into a writable block of its own first. That block is sized to hold the whole
// uncompressed picture, so painting never reads past it, whatever the resource held.
#ifndef VX_LAUNCHER_DIB_H
#define VX_LAUNCHER_DIB_H

#include <cstddef>
#include <cstdint>
#include <memory>

// The fields of a BITMAPINFOHEADER, read and written little-endian at their published offsets.
struct DibHeader {
  uint32_t biSize;  // the header's length: where the colour table begins
  int32_t biWidth;
  int32_t biHeight;  // positive: rows bottom-up
  uint16_t biPlanes;
  uint16_t biBitCount;
  uint32_t biCompression;
  uint32_t biSizeImage;
  int32_t biXPelsPerMeter;
  int32_t biYPelsPerMeter;
  uint32_t biClrUsed;
  uint32_t biClrImportant;
};

constexpr size_t kDibHeaderBytes = 40;

enum : uint32_t {
  kBiRgb = 0,
  kBiRle8 = 1,
  kBiRle4 = 2,
  kBiBitfields = 3,
};

// Reads the 40 bytes of header fields at `dib` / writes them back.
DibHeader ReadDibHeader(const uint8_t* dib);
void WriteDibHeader(uint8_t* dib, const DibHeader& header);

// A row's length in bytes, rounded up to a multiple of 4.
uint64_t DibRowBytes(const DibHeader& header);

// The rounded row length times the number of rows (the height's magnitude, so that top-down
// pictures measure the same as bottom-up ones).
uint64_t DibImageBytes(const DibHeader& header);

// Where the pixels begin, counted from the header's start: past the header, the three bit-field
// masks of a BI_BITFIELDS picture with a 40-byte header, and biClrUsed colour-table entries.
uint64_t DibPixelOffset(const DibHeader& header);

// A packed DIB in a writable block that it owns: header, colour table, pixels, then zero bytes
// up to the uncompressed picture's size where the source held less.
class DibPicture {
 public:
  DibPicture(const DibPicture&) = delete;
  DibPicture& operator=(const DibPicture&) = delete;
  ~DibPicture();

  uint8_t* Data() { return bytes_; }
  const uint8_t* Data() const { return bytes_; }
  size_t Size() const { return size_; }
  // How many of the first bytes came from the source; the rest were zero.
  size_t LoadedSize() const { return loadedSize_; }

  DibHeader Header() const { return ReadDibHeader(bytes_); }
  void SetHeader(const DibHeader& header) { WriteDibHeader(bytes_, header); }
  const uint8_t* Pixels() const { return bytes_ + DibPixelOffset(Header()); }

 private:
  friend std::unique_ptr<DibPicture> CompleteDib(const void*, size_t);
  DibPicture(uint8_t* bytes, size_t size, size_t loadedSize)
      : bytes_(bytes), size_(size), loadedSize_(loadedSize) {}

  uint8_t* bytes_;
  size_t size_;
  size_t loadedSize_;
};

// The portable steps of LoadDibResource on the `size` bytes of a packed DIB: copies it into a
// new writable picture, sets biSizeImage when 0 to the rounded row length times the height,
// sets biClrUsed when 0 to 1 << biBitCount for 8 bits per pixel or fewer, and unpacks it
// (UnpackDib). The source is only read. Null when the bytes are no 40-byte-header DIB of a
// sensible size (width and height nonzero, at most 64 MiB of pixels, at most 65535 colours)
// or the memory cannot be had.
std::unique_ptr<DibPicture> CompleteDib(const void* packedDib, size_t size);

// Completes a picture's pixels after loading: expands BI_RLE8 pixels (reading no further than
// the loaded bytes, writing no further than the block) and records them as BI_RGB with the
// uncompressed size. An RLE8 picture reads BI_RGB afterwards even when no memory could be had
// for the expansion (its pixels then stay as they were). BI_RGB pictures are left as they are;
// other compressions (RLE4, bit fields) keep their value and are left to the platform's
// drawing, which reads them itself.
void UnpackDib(DibPicture& picture);

// What ExpandRle8 came to.
enum class Rle8Result {
  kComplete,   // the end-of-picture escape was reached and everything fitted
  kTruncated,  // the input ended first or a run went past the output; what fitted is kept
  kNoMemory,   // no temporary block: the pixel data are as they were
};

// Expands the RLE8 data at `pixels` where they lie, as the launcher reads the encoding: runs
// and absolute runs are written, an end of line moves to the next multiple of 4 bytes, a delta
// skips its two offset bytes without moving, end of picture stops. Reads at most `inputBytes`
// and writes exactly `outputBytes` (room that `pixels` must have; bytes the data do not reach
// are 0).
Rle8Result ExpandRle8(uint8_t* pixels, size_t inputBytes, size_t outputBytes);

// One LOGPALETTE entry, in the layout of PALETTEENTRY.
struct PaletteEntry {
  uint8_t red;
  uint8_t green;
  uint8_t blue;
  uint8_t flags;
};
static_assert(sizeof(PaletteEntry) == 4, "PALETTEENTRY layout");

// The number of palette entries the picture's colour table gives: biClrUsed (0 for a picture
// without a colour table, whose palette comes from the stock default palette).
size_t DibPaletteEntryCount(const DibPicture& picture);

// Writes DibPaletteEntryCount entries: colour-table entry i (blue, green, red, reserved)
// becomes entry i with red and blue in place and flags 0.
void FillDibPaletteEntries(const DibPicture& picture, PaletteEntry* entries);

#endif  // VX_LAUNCHER_DIB_H
