// The reference model of VxString's editing and searching members, on std::string.
#include "tests/fuzz/string_model.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace model {

namespace {

bool IsWhitespace(char c) { return (c >= 9 && c <= 13) || c == ' '; }

char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// A set as a C text: the NUL is never one of its members.
bool InSet(const std::string& set, char c) { return c != '\0' && set.find(c) != std::string::npos; }

bool Matches(TrimKind kind, char ch, const std::string& set, char c) {
  switch (kind) {
    case TrimKind::kWhitespace: return IsWhitespace(c);
    case TrimKind::kChar: return c == ch;
    case TrimKind::kSet: return InSet(set, c);
  }
  return false;
}

int Length(const std::string& text) { return static_cast<int>(text.size()); }

int ClampCount(const std::string& text, int count) { return std::min(std::max(count, 0), Length(text)); }

// Where `sought` first occurs in `piece` at or after `from`, or npos.
size_t FindIn(const std::string& piece, const std::string& sought, size_t from, bool noCase) {
  if (!noCase) return piece.find(sought, from);
  auto same = [](char a, char b) { return Upper(a) == Upper(b); };
  auto found = std::search(piece.begin() + static_cast<long>(from), piece.end(), sought.begin(), sought.end(), same);
  return found == piece.end() ? std::string::npos : static_cast<size_t>(found - piece.begin());
}

}  // namespace

std::string Scanned(const std::string& text) { return text.substr(0, std::strlen(text.c_str())); }

int Insert(std::string& text, int index, const std::string& inserted) {
  if (inserted.empty()) return Length(text);
  index = std::min(std::max(index, 0), Length(text));
  text.insert(static_cast<size_t>(index), inserted);
  return Length(text);
}

int Delete(std::string& text, int index, int count) {
  index = std::max(index, 0);
  const int length = Length(text);
  if (count > 0 && index < length) text.erase(static_cast<size_t>(index), static_cast<size_t>(std::min(count, length - index)));
  return length;
}

int ReplaceChar(std::string& text, char oldChar, char newChar) {
  if (oldChar == newChar) return 0;
  int count = 0;
  for (char& c : text) {
    if (c != oldChar) continue;
    c = newChar;
    ++count;
  }
  return count;
}

int Replace(std::string& text, const std::string& oldText, const std::string& newText, bool noCase) {
  if (oldText.empty()) return 0;
  int count = 0;
  std::string result;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\0', start);
    if (end == std::string::npos) end = text.size();
    const std::string piece = text.substr(start, end - start);
    size_t from = 0;
    for (size_t at; (at = FindIn(piece, oldText, from, noCase)) != std::string::npos; from = at + oldText.size()) {
      result += piece.substr(from, at - from) + newText;
      ++count;
    }
    result += piece.substr(from);
    if (end < text.size()) result += '\0';
    start = end + 1;
  }
  if (count > 0) text = result;
  return count;
}

int Remove(std::string& text, char ch) {
  const size_t before = text.size();
  text.erase(std::remove(text.begin(), text.end(), ch), text.end());
  return static_cast<int>(before - text.size());
}

void TrimLeft(std::string& text, TrimKind kind, char ch, const std::string& set) {
  const std::string scanned = Scanned(text);
  size_t count = 0;
  while (count < scanned.size() && Matches(kind, ch, set, scanned[count])) ++count;
  text.erase(0, count);
}

void TrimRight(std::string& text, TrimKind kind, char ch, const std::string& set) {
  const std::string scanned = Scanned(text);
  size_t keep = scanned.size();
  while (keep > 0 && Matches(kind, ch, set, scanned[keep - 1])) --keep;
  // Only trailing matches before the first NUL cut the text, and then everything after them.
  if (keep < scanned.size()) text.resize(keep);
}

void MakeUpper(std::string& text) {
  const size_t end = Scanned(text).size();
  std::transform(text.begin(), text.begin() + static_cast<long>(end), text.begin(), Upper);
}

void MakeLower(std::string& text) {
  const size_t end = Scanned(text).size();
  std::transform(text.begin(), text.begin() + static_cast<long>(end), text.begin(), Lower);
}

void MakeReverse(std::string& text) {
  const size_t end = Scanned(text).size();
  std::reverse(text.begin(), text.begin() + static_cast<long>(end));
}

std::string Mid(const std::string& text, int first, int count) {
  const long long length = Length(text);
  long long from = std::max(first, 0);
  long long take = std::max(count, 0);
  if (from + take > length) take = length - from;
  if (from > length) take = 0;
  return take <= 0 ? std::string() : text.substr(static_cast<size_t>(from), static_cast<size_t>(take));
}

std::string Mid(const std::string& text, int first) {
  const long long count = Length(text) - static_cast<long long>(first);
  // A count beyond int still means "to the end".
  return Mid(text, first, static_cast<int>(std::min<long long>(std::max<long long>(count, -1), INT32_MAX)));
}

std::string Left(const std::string& text, int count) { return text.substr(0, static_cast<size_t>(ClampCount(text, count))); }

std::string Right(const std::string& text, int count) {
  return text.substr(text.size() - static_cast<size_t>(ClampCount(text, count)));
}

int Find(const std::string& text, char ch) {
  const std::string scanned = Scanned(text);
  if (ch == '\0') return Length(scanned);
  const size_t at = scanned.find(ch);
  return at == std::string::npos ? -1 : static_cast<int>(at);
}

int Find(const std::string& text, char ch, int start) {
  start = std::max(start, 0);
  if (start >= Length(text)) return -1;
  for (size_t i = static_cast<size_t>(start); i <= text.size(); ++i) {
    if (text.c_str()[i] == ch) return static_cast<int>(i);
    if (text.c_str()[i] == '\0') break;
  }
  return -1;
}

int Find(const std::string& text, const std::string& sought, int start) {
  start = std::max(start, 0);
  if (start > Length(text)) return -1;
  const std::string piece = Scanned(text.substr(static_cast<size_t>(start)));
  const size_t at = piece.find(Scanned(sought));
  return at == std::string::npos ? -1 : start + static_cast<int>(at);
}

int ReverseFind(const std::string& text, char ch) {
  const std::string scanned = Scanned(text);
  if (ch == '\0') return Length(scanned);
  const size_t at = scanned.rfind(ch);
  return at == std::string::npos ? -1 : static_cast<int>(at);
}

int FindOneOf(const std::string& text, const std::string& set) {
  const std::string scanned = Scanned(text);
  for (size_t i = 0; i < scanned.size(); ++i) {
    if (InSet(set, scanned[i])) return static_cast<int>(i);
  }
  return -1;
}

int Compare(const std::string& text, const std::string& other, bool noCase) {
  const std::string a = Scanned(text);
  const std::string b = Scanned(other);
  for (size_t i = 0;; ++i) {
    unsigned char x = i < a.size() ? static_cast<unsigned char>(a[i]) : 0;
    unsigned char y = i < b.size() ? static_cast<unsigned char>(b[i]) : 0;
    if (noCase) {
      x = static_cast<unsigned char>(Lower(static_cast<char>(x)));
      y = static_cast<unsigned char>(Lower(static_cast<char>(y)));
    }
    if (x != y) return x < y ? -1 : 1;
    if (x == 0) return 0;
  }
}

}  // namespace model
