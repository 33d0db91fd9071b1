//===- stream_exception.h - The one exception of the stream layer --------===//
// A signed 32-bit code and an optional text. VxFile raises a pointer to a newly
// allocated exception (the catcher owns it and deletes it); the inflate streams raise the
// object itself, by value.
#ifndef VX_STREAM_STREAM_EXCEPTION_H
#define VX_STREAM_STREAM_EXCEPTION_H

#include <cstdint>

// Every code of the system; 5 is not used (a failing Lock returns -1 instead).
enum VxStreamError : int32_t {
  VxErrRead = 1,            // VxFile::Read: the platform read failed
  VxErrWrite = 2,           // VxFile::Write: the platform write failed
  VxErrShortWrite = 3,      // VxFile::Write: fewer bytes written than asked
  VxErrSeek = 4,            // VxFile::Tell, Seek, Length: positioning failed, or Length
                            // did not get back to where it was
  VxErrUnlock = 6,          // VxFile::Unlock: the platform unlock failed
  VxErrOpen = 7,            // VxFile opening constructor; the text is the path as passed
  VxErrClose = 8,           // VxFile::Close, and the destructor through it
  VxErrInflateInit = -5,    // inflate streams: starting zlib's inflater failed
  VxErrInflateEnd = -9,     // inflate streams: ending zlib's inflater failed
  VxErrInflateBuffer = -10, // inflate streams: the input buffer could not be allocated
  VxErrInflateState = -11,  // inflate streams: an operation called in the wrong state
};

class VxStreamException {
 public:
  // An exception without text.
  explicit VxStreamException(int32_t errorCode);
  // Keeps its own heap copy of `message` (NUL-terminated); a null text means none.
  VxStreamException(int32_t errorCode, const char* message);
  // The copy has the same code and its own copy of the same text.
  VxStreamException(const VxStreamException& other);
  VxStreamException& operator=(const VxStreamException&) = delete;
  virtual ~VxStreamException();

  int32_t GetCode() const { return code; }
  // The text, or null when the exception has none. Lives as long as the exception.
  const char* GetText() const { return text; }

 private:
  int32_t code;
  char* text;
};

#endif  // VX_STREAM_STREAM_EXCEPTION_H
