//===- inflate_reader.h - VxInflateReader, a reader of inflated bytes ----===//
// Reads the inflated content of a zlib stream that comes from another reader, fetching
// compressed input 100 bytes at a time. Damaged or cut-off input ends the content early,
// quietly. The launcher itself does not use it.
#ifndef VX_STREAM_INFLATE_READER_H
#define VX_STREAM_INFLATE_READER_H

#include <cstdint>

#include "stream/stream_interfaces.h"
#include "stream/zstream.h"

class VxInflateReader : public VxZStream, public VxReader {
 public:
  static constexpr uint32_t kInputSize = 100;

  // Starts the inflater over `source`, which is borrowed and must outlive this reader.
  // Raises -10 or -5 (by value) when that fails.
  explicit VxInflateReader(VxReader& source);
  // Ends the inflater and frees the input buffer.
  ~VxInflateReader() override;

  // Up to `count` inflated bytes, written straight into `buffer`; 0 once the stream has
  // ended, then without reading from the source again.
  uint32_t Read(void* buffer, uint32_t count) override;

 private:
  VxReader* source;
};

#endif  // VX_STREAM_INFLATE_READER_H
