//===- zstream.h - VxZStream, zlib's inflater and an input buffer --------===//
// The common part of the inflate streams (inflate_copier.h, inflate_reader.h): a zlib
// stream record held in the object, an input buffer of a size the subclass fixes, and a
// state. Input is zlib-wrapped deflate data (RFC 1950), inflated with zlib's default
// allocators through its 1.1.4 interface. Damaged or cut-off input is not an error: the
// output just ends early. Failures of this layer are raised by value, as
// VxStreamException with the text "Zlib-Fehler". Not copyable: zlib's state points back
// at the stream record.
#ifndef VX_STREAM_ZSTREAM_H
#define VX_STREAM_ZSTREAM_H

#include <zlib.h>

#include <cstdint>

#include "stream/stream_interfaces.h"

// The record the inflater is started with; the 1.1.4 interface had it at 56 bytes on a
// 32-bit target, and inflateInit_ refuses a record of another size.
static_assert(sizeof(void*) != 4 || sizeof(z_stream) == 56, "zlib stream record of the 1.1.4 interface");

class VxZStream {
 public:
  // The state of the inflater. There is no state 1.
  enum State : int32_t {
    // No inflater running: after construction and after End. Only Init is allowed;
    // ReadInflated and End raise -11.
    Idle = 0,
    // Init has started the inflater and zlib has not yet returned anything but Z_OK.
    // ReadInflated produces output; End returns to Idle; Init raises -11.
    Inflating = 2,
    // zlib returned nonzero (the end of the stream, or any error alike): ReadInflated
    // returns 0 without touching its source; End returns to Idle; Init raises -11.
    Finished = 3,
  };

  VxZStream(const VxZStream&) = delete;
  VxZStream& operator=(const VxZStream&) = delete;

  // Frees the input buffer. An inflater left running (a transfer interrupted by an
  // exception) is ended quietly as well, so that zlib's state does not leak; the state
  // does not matter any more once the object goes.
  virtual ~VxZStream();

  State GetState() const { return state; }

 protected:
  // Allocates the input buffer of `bufferSize` bytes (-10 when that fails); Idle.
  explicit VxZStream(uint32_t bufferSize);

  // Starts zlib's inflater: Idle to Inflating. -11 in another state, -5 when zlib refuses
  // (the state stays Idle).
  void Init();

  // Produces up to `count` inflated bytes straight into `buffer`; returns how many, which
  // may be fewer than count, and 0. Compressed input is fetched from `source` into the
  // input buffer, always asking for the buffer's full size and only once all earlier
  // input has been consumed. Any nonzero zlib result (end, damaged data, no more input)
  // moves to Finished and is not raised. -11 when Idle. Count 0 returns 0 at once.
  uint32_t ReadInflated(void* buffer, uint32_t count, VxReader& source);

  // Ends zlib's inflater: Inflating or Finished to Idle. -11 when Idle; -9 when zlib
  // refuses (the state is then left as it was).
  void End();

  // Raises VxStreamException(code, "Zlib-Fehler") by value.
  [[noreturn]] static void Raise(int32_t code);

  z_stream zstream;
  uint8_t* inBuffer;
  uint32_t inBufferSize;
  State state;
};

#endif  // VX_STREAM_ZSTREAM_H
