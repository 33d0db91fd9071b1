//===- vx_string_edit.cpp - VxString trimming, insertion, deletion, replacement -===//
// Every change is made in the string's own block after it has been made private; a block
// grows to exactly the new length and only when its room is too small, and shortening
// keeps the room. A member documented to do nothing leaves a shared block shared.
#include "string/vx_string.h"

#include <climits>
#include <cstring>
#include <new>

namespace {

// Bytes 9 to 13 and the space; not isspace, whose answer depends on the locale and on
// the signedness of char.
bool IsWhitespace(char c) {
  return c == ' ' || (c >= '\t' && c <= '\r');
}

struct WhitespaceMatch {
  bool operator()(char c) const { return IsWhitespace(c); }
};

struct CharMatch {
  char wanted;
  bool operator()(char c) const { return c == wanted; }
};

struct SetMatch {
  const char* set;
  // The scans never pass a NUL here, so strchr never matches the set's terminator.
  bool operator()(char c) const { return std::strchr(set, c) != nullptr; }
};

// Index where the trailing run of matching characters before the first NUL starts, or -1
// when the last character before the NUL does not match.
template <typename Match>
int TrailingRunStart(const char* text, Match match) {
  int mark = -1;
  for (int i = 0; text[i] != '\0'; ++i) {
    if (!match(text[i])) {
      mark = -1;
    } else if (mark < 0) {
      mark = i;
    }
  }
  return mark;
}

template <typename Match>
int LeadingRunLength(const char* text, Match match) {
  int count = 0;
  while (text[count] != '\0' && match(text[count])) ++count;
  return count;
}

using FindFunction = const char* (*)(const char* piece, const char* oldText);

const char* FindExact(const char* piece, const char* oldText) {
  return std::strstr(piece, oldText);
}

// The occurrence of oldText in the piece (up to its NUL) without regard to the case of A
// to Z, or null. Both are copied and upper-cased for every search: quadratic over a long
// text, meant for short ones.
const char* FindNoCase(const char* piece, const char* oldText) {
  VxString rest(piece);
  VxString wanted(oldText);
  rest.MakeUpper();
  wanted.MakeUpper();
  const int at = rest.Find(static_cast<const char*>(wanted));
  return at < 0 ? nullptr : piece + at;
}

// Occurrences in the pieces that end at each NUL and together cover `length` bytes; an
// occurrence never overlaps the one before it.
int CountOccurrences(const char* text, int length, const char* oldText, int oldLength,
                     FindFunction find) {
  int count = 0;
  const char* const end = text + length;
  for (const char* piece = text; piece < end; piece += std::strlen(piece) + 1) {
    for (const char* hit; (hit = find(piece, oldText)) != nullptr; piece = hit + oldLength) {
      ++count;
    }
  }
  return count;
}

// Rewrites `length` bytes of text (with room for newLength) replacing the first `count`
// occurrences that CountOccurrences finds. Instead of moving the tail once per occurrence,
// a growing text is first moved to the end of its room; then one left-to-right pass copies
// it down, and the write position never overtakes the read position, so every byte moves
// at most twice and nothing is written past newLength.
void ReplaceOccurrences(char* text, int length, int newLength, const char* oldText,
                        int oldLength, const char* newText, int newTextLength, int count,
                        FindFunction find) {
  const int shift = newLength > length ? newLength - length : 0;
  if (shift > 0) std::memmove(text + shift, text, static_cast<size_t>(length) + 1);
  const char* source = text + shift;
  const char* const sourceEnd = source + length;
  char* dest = text;
  int left = count;
  while (source < sourceEnd) {
    const char* hit;
    while (left > 0 && (hit = find(source, oldText)) != nullptr) {
      const size_t before = static_cast<size_t>(hit - source);
      std::memmove(dest, source, before);
      dest += before;
      std::memmove(dest, newText, static_cast<size_t>(newTextLength));
      dest += newTextLength;
      source = hit + oldLength;
      --left;
    }
    // The rest of the piece with the NUL that ends it.
    const size_t rest = std::strlen(source) + 1;
    std::memmove(dest, source, rest);
    dest += rest;
    source += rest;
  }
  text[newLength] = '\0';
}

// The two text forms of Replace, over the public buffer interface: GetBuffer unshares and
// grows to exactly the new length in one step, allocating nothing when the block is private
// and has the room; ReleaseBuffer sets the length and keeps the room.
int ReplaceText(VxString& target, const char* oldText, const char* newText, FindFunction find) {
  const int oldLength = oldText == nullptr ? 0 : static_cast<int>(std::strlen(oldText));
  if (oldLength == 0) return 0;
  if (newText == nullptr) newText = "";
  const int newTextLength = static_cast<int>(std::strlen(newText));
  const int length = target.GetLength();
  const int count = CountOccurrences(target, length, oldText, oldLength, find);
  if (count == 0) return 0;
  const long long grown =
      length + static_cast<long long>(newTextLength - oldLength) * static_cast<long long>(count);
  if (grown > INT_MAX) throw std::bad_alloc();
  const int newLength = static_cast<int>(grown);
  char* text = target.GetBuffer(newLength);
  ReplaceOccurrences(text, length, newLength, oldText, oldLength, newText, newTextLength, count,
                     find);
  target.ReleaseBuffer(newLength);
  return count;
}

}  // namespace

void VxString::TrimLeft() {
  CopyBeforeWrite();
  const int count = LeadingRunLength(chars, WhitespaceMatch{});
  if (count == 0) return;
  VxStringData* data = GetData();
  std::memmove(chars, chars + count, static_cast<size_t>(data->dataLength - count) + 1);
  data->dataLength -= count;
}

void VxString::TrimLeft(char ch) {
  CopyBeforeWrite();
  const int count = LeadingRunLength(chars, CharMatch{ch});
  if (count == 0) return;
  VxStringData* data = GetData();
  std::memmove(chars, chars + count, static_cast<size_t>(data->dataLength - count) + 1);
  data->dataLength -= count;
}

void VxString::TrimLeft(const char* set) {
  // A null or empty set removes nothing and leaves a shared block shared.
  if (set == nullptr || *set == '\0') return;
  CopyBeforeWrite();
  const int count = LeadingRunLength(chars, SetMatch{set});
  if (count == 0) return;
  VxStringData* data = GetData();
  std::memmove(chars, chars + count, static_cast<size_t>(data->dataLength - count) + 1);
  data->dataLength -= count;
}

// The right-hand trims stop at the first NUL: trailing matches before an embedded NUL cut
// off everything from there, the text after the NUL included.
void VxString::TrimRight() {
  CopyBeforeWrite();
  const int mark = TrailingRunStart(chars, WhitespaceMatch{});
  if (mark < 0) return;
  chars[mark] = '\0';
  GetData()->dataLength = mark;
}

void VxString::TrimRight(char ch) {
  CopyBeforeWrite();
  const int mark = TrailingRunStart(chars, CharMatch{ch});
  if (mark < 0) return;
  chars[mark] = '\0';
  GetData()->dataLength = mark;
}

void VxString::TrimRight(const char* set) {
  CopyBeforeWrite();
  const int mark = TrailingRunStart(chars, SetMatch{set});
  if (mark < 0) return;
  chars[mark] = '\0';
  GetData()->dataLength = mark;
}

int VxString::Insert(int index, char ch) {
  const int length = GetData()->dataLength;
  if (index < 0) index = 0;
  if (index > length) index = length;
  const int newLength = length + 1;
  // Unshares and grows exactly to newLength in one step; the text and its length stay.
  GetBuffer(newLength);
  std::memmove(chars + index + 1, chars + index, static_cast<size_t>(length - index) + 1);
  chars[index] = ch;
  GetData()->dataLength = newLength;
  return newLength;
}

int VxString::Insert(int index, const char* text) {
  const int length = GetData()->dataLength;
  const int count = SafeStrlen(text);
  // Nothing to insert: not even unshared.
  if (count == 0) return length;
  if (index < 0) index = 0;
  if (index > length) index = length;
  const int newLength = length + count;
  GetBuffer(newLength);
  std::memmove(chars + index + count, chars + index, static_cast<size_t>(length - index) + 1);
  std::memmove(chars + index, text, static_cast<size_t>(count));
  GetData()->dataLength = newLength;
  return newLength;
}

int VxString::Delete(int index, int count) {
  const int length = GetData()->dataLength;
  if (index < 0) index = 0;
  if (count <= 0 || index >= length) return length;
  // A count reaching past the end deletes only what remains.
  if (count > length - index) count = length - index;
  CopyBeforeWrite();
  std::memmove(chars + index, chars + index + count,
               static_cast<size_t>(length - index - count) + 1);
  GetData()->dataLength = length - count;
  return length;
}

int VxString::Replace(char oldChar, char newChar) {
  if (oldChar == newChar) return 0;
  CopyBeforeWrite();
  const int length = GetData()->dataLength;
  int count = 0;
  for (int i = 0; i < length; ++i) {
    if (chars[i] == oldChar) {
      chars[i] = newChar;
      ++count;
    }
  }
  return count;
}

int VxString::Replace(const char* oldText, const char* newText) {
  return ReplaceText(*this, oldText, newText, FindExact);
}

int VxString::ReplaceNoCase(const char* oldText, const char* newText) {
  return ReplaceText(*this, oldText, newText, FindNoCase);
}

int VxString::Remove(char ch) {
  CopyBeforeWrite();
  VxStringData* data = GetData();
  const int length = data->dataLength;
  int kept = 0;
  for (int i = 0; i < length; ++i) {
    if (chars[i] != ch) chars[kept++] = chars[i];
  }
  const int removed = length - kept;
  if (removed == 0) return 0;
  chars[kept] = '\0';
  data->dataLength = kept;
  return removed;
}
