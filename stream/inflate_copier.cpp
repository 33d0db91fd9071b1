// VxInflateCopier: chunked inflate into a writer.
#include "stream/inflate_copier.h"

VxInflateCopier::VxInflateCopier() : VxZStream(kInputSize) {}

uint32_t VxInflateCopier::Copy(VxWriter& destination, VxReader& source, uint32_t count) {
  if (count == 0) count = 0xFFFFFFFFu;
  uint32_t total = 0;
  Init();
  uint8_t chunk[kChunkSize];
  uint32_t got;
  do {
    uint32_t want = count < kChunkSize ? count : kChunkSize;
    got = ReadInflated(chunk, want, source);
    if (got != 0) {
      destination.Write(chunk, got);
      total += got;
      count -= got;
    }
  } while (count != 0 && got != 0);
  End();
  return total;
}

uint32_t VxInflateCopier::CopyAlt(VxWriter& /*destination*/, VxReader& /*source*/, uint32_t /*count*/) {
  return 0;
}
