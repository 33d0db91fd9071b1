// VxMemReader: copies out of the caller's block.
#include "stream/mem_reader.h"

#include <cstring>

VxMemReader::VxMemReader(const void* bytes, uint32_t size)
    : data(static_cast<const uint8_t*>(bytes)), remaining(size) {}

uint32_t VxMemReader::Read(void* buffer, uint32_t count) {
  uint32_t result = count > remaining ? remaining : count;
  // memcpy's pointers must be valid even for 0 bytes; an exhausted reader may hold none.
  if (result != 0) std::memcpy(buffer, data, result);
  data += result;
  remaining -= result;
  return result;
}
