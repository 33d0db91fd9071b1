//===- mem_reader.h - VxMemReader, a reader over bytes in memory ---------===//
// Reads a block of bytes that belongs to the caller (for the launcher: a loaded archive
// resource), which must stay valid and unchanged while the reader is used. It cannot
// fail. It declares no virtual destructor and is deleted as a VxMemReader.
#ifndef VX_STREAM_MEM_READER_H
#define VX_STREAM_MEM_READER_H

#include <cstdint>

#include "stream/stream_interfaces.h"

class VxMemReader final : public VxReader {
 public:
  VxMemReader(const void* bytes, uint32_t size);

  // Copies the next min(count, remaining) bytes; 0 once everything has been read.
  uint32_t Read(void* buffer, uint32_t count) override;

  uint32_t GetRemaining() const { return remaining; }

 private:
  const uint8_t* data;  // the next unread byte
  uint32_t remaining;   // bytes not yet read
};

#endif  // VX_STREAM_MEM_READER_H
