//===- inflate_copier.h - VxInflateCopier, inflate from reader to writer -===//
// Inflates a zlib stream from a reader into a writer in chunks of at most 100 bytes, each
// written as soon as it has been produced; input is fetched 113 bytes at a time. Memory
// use is constant: the input buffer, a chunk on the stack and zlib's state.
#ifndef VX_STREAM_INFLATE_COPIER_H
#define VX_STREAM_INFLATE_COPIER_H

#include <cstdint>

#include "stream/stream_interfaces.h"
#include "stream/zstream.h"

class VxInflateCopier : public VxZStream, public VxCopier {
 public:
  static constexpr uint32_t kInputSize = 113;
  static constexpr uint32_t kChunkSize = 100;

  // Idle, with its input buffer; -10 when that cannot be allocated.
  VxInflateCopier();
  ~VxInflateCopier() override = default;

  // Inflates from `source` and writes to `destination` until the stream ends (damaged or
  // cut-off input ends it quietly) or `count` bytes are written (0: no limit); the rest of
  // the stream is then discarded. Returns the bytes written. `destination` never gets a
  // Write of 0 or of more than 100 bytes; its results are not examined. Starts and ends
  // the inflater itself, so a copier can serve several Copy calls in turn. An exception
  // from source or destination passes through unchanged and leaves the inflater running:
  // the next Copy on this copier raises -11.
  uint32_t Copy(VxWriter& destination, VxReader& source, uint32_t count) override;

  // Does nothing and returns 0, touching neither stream.
  uint32_t CopyAlt(VxWriter& destination, VxReader& source, uint32_t count) override;
};

#endif  // VX_STREAM_INFLATE_COPIER_H
