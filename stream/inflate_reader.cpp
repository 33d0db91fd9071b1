// VxInflateReader: ReadInflated behind the reader interface.
#include "stream/inflate_reader.h"

VxInflateReader::VxInflateReader(VxReader& input) : VxZStream(kInputSize), source(&input) { Init(); }

VxInflateReader::~VxInflateReader() {
  // Ends the inflater as End does, but without End's -9: a destructor has no way to
  // report it, and zlib refuses only a stream record that is not its own any more.
  if (state != Idle) inflateEnd(&zstream);
  state = Idle;
}

uint32_t VxInflateReader::Read(void* buffer, uint32_t count) { return ReadInflated(buffer, count, *source); }
