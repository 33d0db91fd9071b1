// VxStreamException: code and owned text.
#include "stream/stream_exception.h"

#include <cstring>

namespace {

char* CopyText(const char* source) {
  if (source == nullptr) return nullptr;
  size_t size = std::strlen(source) + 1;
  char* copy = new char[size];
  std::memcpy(copy, source, size);
  return copy;
}

}  // namespace

VxStreamException::VxStreamException(int32_t errorCode) : code(errorCode), text(nullptr) {}

VxStreamException::VxStreamException(int32_t errorCode, const char* message)
    : code(errorCode), text(CopyText(message)) {}

VxStreamException::VxStreamException(const VxStreamException& other)
    : code(other.code), text(CopyText(other.text)) {}

VxStreamException::~VxStreamException() { delete[] text; }
