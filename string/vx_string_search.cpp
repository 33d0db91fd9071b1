//===- vx_string_search.cpp - VxString character access, extraction, search -===//
// Searches are text scans: they stop at the first NUL. Extractions always copy into a
// fresh block of exactly the result's length, also when the result is the whole string.
// None of the members here allocates except the extractions.
#include "string/vx_string.h"

#include <cstring>

// An index outside 0 to the length is clamped to the safe side rather than trusted:
// reading gives the NUL, writing does nothing.
char VxString::GetAt(int index) const {
  if (index < 0 || index > GetData()->dataLength) return '\0';
  return chars[index];
}

char VxString::operator[](int index) const {
  return GetAt(index);
}

void VxString::SetAt(int index, char ch) {
  // The terminator at the length is not the caller's to overwrite.
  if (index < 0 || index >= GetData()->dataLength) return;
  CopyBeforeWrite();
  chars[index] = ch;
}

VxString VxString::Mid(int first, int count) const {
  const int length = GetData()->dataLength;
  if (first < 0) first = 0;
  if (count < 0) count = 0;
  // Compared as a difference, so that first + count cannot overflow.
  if (first > length) {
    count = 0;
  } else if (count > length - first) {
    count = length - first;
  }
  VxString result;
  AllocCopy(result, count, first, 0);
  return result;
}

VxString VxString::Mid(int first) const {
  // The count is meant as length - first of the unadjusted index, so a negative index
  // selects everything. Any count of at least length - first is cut to the same result,
  // and the length itself is one that cannot overflow.
  return Mid(first, GetData()->dataLength);
}

VxString VxString::Left(int count) const {
  const int length = GetData()->dataLength;
  if (count < 0) count = 0;
  if (count > length) count = length;
  VxString result;
  AllocCopy(result, count, 0, 0);
  return result;
}

VxString VxString::Right(int count) const {
  const int length = GetData()->dataLength;
  if (count < 0) count = 0;
  if (count > length) count = length;
  VxString result;
  AllocCopy(result, count, length - count, 0);
  return result;
}

VxString VxString::SpanIncluding(const char* set) const {
  return Left(static_cast<int>(std::strspn(chars, set)));
}

VxString VxString::SpanExcluding(const char* set) const {
  return Left(static_cast<int>(std::strcspn(chars, set)));
}

int VxString::Find(char ch) const {
  // No start to check: the NUL character finds the terminator even of the empty string.
  const char* hit = std::strchr(chars, ch);
  return hit == nullptr ? -1 : static_cast<int>(hit - chars);
}

int VxString::Find(char ch, int start) const {
  if (start < 0) start = 0;
  if (start >= GetData()->dataLength) return -1;
  const char* hit = std::strchr(chars + start, ch);
  return hit == nullptr ? -1 : static_cast<int>(hit - chars);
}

int VxString::Find(const char* text) const {
  const char* hit = std::strstr(chars, text);
  return hit == nullptr ? -1 : static_cast<int>(hit - chars);
}

int VxString::Find(const char* text, int start) const {
  if (start < 0) start = 0;
  if (start > GetData()->dataLength) return -1;
  const char* hit = std::strstr(chars + start, text);
  return hit == nullptr ? -1 : static_cast<int>(hit - chars);
}

int VxString::ReverseFind(char ch) const {
  const char* hit = std::strrchr(chars, ch);
  return hit == nullptr ? -1 : static_cast<int>(hit - chars);
}

int VxString::FindOneOf(const char* set) const {
  const char* hit = std::strpbrk(chars, set);
  return hit == nullptr ? -1 : static_cast<int>(hit - chars);
}
