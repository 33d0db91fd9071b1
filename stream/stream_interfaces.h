//===- stream_interfaces.h - Reading, writing, positioning, copying ------===//
// The small abstract interfaces of the stream layer. They hold no data and have no
// virtual destructor: an object is deleted through its concrete class (or a virtual
// destructor that the concrete class declares), never through one of these; their
// destructors are protected so that such a delete does not compile.
//
// Positions, lengths and counts are unsigned 32-bit; a seek distance is signed.
// Failures are raised as VxStreamException (stream_exception.h); how, the implementing
// class says.
#ifndef VX_STREAM_STREAM_INTERFACES_H
#define VX_STREAM_STREAM_INTERFACES_H

#include <cstdint>

class VxReader {
 public:
  // Places up to `count` bytes in `buffer` (writable, at least count bytes) and returns
  // how many; 0 means that nothing more comes.
  virtual uint32_t Read(void* buffer, uint32_t count) = 0;

 protected:
  ~VxReader() = default;
};

class VxWriter {
 public:
  // Writes `count` bytes from `buffer`; returns the number written.
  virtual uint32_t Write(const void* buffer, uint32_t count) = 0;

 protected:
  ~VxWriter() = default;
};

// The seekable side. It is a virtual base of the reading and writing streams, so that a
// stream that does both has one position, shared by both sides.
class VxStream {
 public:
  // Size in bytes; the position is left where it was.
  virtual uint32_t Length() = 0;
  // The current position.
  virtual uint32_t Tell() = 0;
  // Moves by `distance` from `origin`: 0 the start, 1 the current position, 2 the end (the
  // values of FILE_BEGIN, FILE_CURRENT, FILE_END). Returns the new position.
  virtual uint32_t Seek(int32_t distance, uint32_t origin) = 0;
  // Locks [offset, offset + length) against other handles and processes. 0 on success,
  // -1 on failure; never raises. The meaning of `reserved` is the implementation's.
  virtual int32_t Lock(uint32_t offset, uint32_t length, int32_t reserved) = 0;
  // Releases such a range; returns nonzero on success.
  virtual int32_t Unlock(uint32_t offset, uint32_t length) = 0;

 protected:
  ~VxStream() = default;
};

class VxInStream : public VxReader, public virtual VxStream {
 protected:
  ~VxInStream() = default;
};

class VxOutStream : public VxWriter, public virtual VxStream {
 protected:
  ~VxOutStream() = default;
};

class VxInOutStream : public VxInStream, public VxOutStream {
 protected:
  ~VxInOutStream() = default;
};

// Moves bytes from a reader to a writer, both borrowed for the call.
class VxCopier {
 public:
  // Transfers from `source` to `destination`, at most `count` bytes (0: no limit); returns
  // the number of bytes written to destination.
  virtual uint32_t Copy(VxWriter& destination, VxReader& source, uint32_t count) = 0;
  // A second transfer of the same shape; what it does is the implementation's.
  virtual uint32_t CopyAlt(VxWriter& destination, VxReader& source, uint32_t count) = 0;

 protected:
  ~VxCopier() = default;
};

#endif  // VX_STREAM_STREAM_INTERFACES_H
