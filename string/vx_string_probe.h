//===- vx_string_probe.h - Test-only view into a VxString's block (internal) -===//
// For the string tests only: a VxString whose block can be inspected, so that a test can
// tell shared from private blocks and see the room behind the text.
#ifndef VX_STRING_VX_STRING_PROBE_H
#define VX_STRING_VX_STRING_PROBE_H

#include <string>

#include "string/vx_string.h"

class ProbeString : public VxString {
 public:
  using VxString::VxString;
  using VxString::operator=;
  ProbeString() = default;
  ProbeString(const ProbeString&) = default;
  ProbeString& operator=(const ProbeString&) = default;
  // Takes the results of the extracting members, which are plain strings.
  ProbeString(const VxString& source) : VxString(source) {}  // NOLINT: implicit on purpose

  int RefCount() const { return GetData()->refCount; }
  const char* Chars() const { return chars; }
  bool OnSharedEmpty() const { return chars == static_cast<const char*>(VxGetEmptyString()); }
  // All dataLength bytes, embedded NULs included.
  std::string Bytes() const { return std::string(chars, static_cast<size_t>(GetLength())); }
  // The terminator at dataLength is in place.
  bool Terminated() const { return chars[GetLength()] == '\0'; }
};

// Bytes of a string literal with embedded NULs, without its own terminator.
template <size_t N>
std::string Raw(const char (&text)[N]) {
  return std::string(text, N - 1);
}

// A string holding exactly these bytes.
inline ProbeString Make(const std::string& bytes) {
  return ProbeString(bytes.data(), static_cast<int>(bytes.size()));
}

#endif  // VX_STRING_VX_STRING_PROBE_H
