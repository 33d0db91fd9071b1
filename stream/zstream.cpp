// VxZStream: the state machine around zlib's inflate.
#include "stream/zstream.h"

#include <new>

#include "stream/stream_exception.h"

namespace {

// zlib's inflateInit_ checks only the first character of the version text and the size
// of the record, so the 1.1.4 interface is accepted by every 1.x library.
constexpr char kZlibInterfaceVersion[] = "1.1.4";

}  // namespace

VxZStream::VxZStream(uint32_t bufferSize) : zstream(), inBuffer(nullptr), inBufferSize(bufferSize), state(Idle) {
  zstream.zalloc = Z_NULL;
  zstream.zfree = Z_NULL;
  zstream.opaque = Z_NULL;
  inBuffer = new (std::nothrow) uint8_t[bufferSize];
  if (inBuffer == nullptr) Raise(VxErrInflateBuffer);
}

VxZStream::~VxZStream() {
  if (state != Idle) inflateEnd(&zstream);
  delete[] inBuffer;
}

void VxZStream::Raise(int32_t code) { throw VxStreamException(code, "Zlib-Fehler"); }

void VxZStream::Init() {
  if (state != Idle) Raise(VxErrInflateState);
  zstream.next_in = Z_NULL;
  zstream.avail_in = 0;
  if (inflateInit_(&zstream, kZlibInterfaceVersion, static_cast<int>(sizeof(z_stream))) != Z_OK) {
    Raise(VxErrInflateInit);
  }
  // Nothing buffered yet: the first ReadInflated fetches input.
  zstream.avail_in = 0;
  state = Inflating;
}

uint32_t VxZStream::ReadInflated(void* buffer, uint32_t count, VxReader& source) {
  if (state != Inflating && state != Finished) Raise(VxErrInflateState);
  // inflate with no room for output makes no progress and would end the stream.
  if (state == Finished || count == 0) return 0;
  zstream.next_out = static_cast<Bytef*>(buffer);
  zstream.avail_out = count;
  int result;
  do {
    if (zstream.avail_in == 0) {
      zstream.next_in = inBuffer;
      zstream.avail_in = source.Read(inBuffer, inBufferSize);
    }
    result = inflate(&zstream, Z_NO_FLUSH);
  } while (zstream.avail_out != 0 && result == Z_OK);
  if (result != Z_OK) state = Finished;
  return count - zstream.avail_out;
}

void VxZStream::End() {
  if (state == Idle) Raise(VxErrInflateState);
  if (inflateEnd(&zstream) != Z_OK) Raise(VxErrInflateEnd);
  state = Idle;
}
