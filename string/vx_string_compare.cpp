//===- vx_string_compare.cpp - VxString comparison and its operators -----===//
// Comparisons look at both sides up to their first NUL, never at dataLength, and allocate
// nothing under the default locale.
#include "string/vx_string.h"

#include <cctype>
#include <clocale>
#include <cstring>
#include <memory>

namespace {

int Sign(int value) {
  return (value > 0) - (value < 0);
}

unsigned char FoldToLower(unsigned char c) {
  // Only A to Z have a case under the default locale; bytes from 128 up stay as they are.
  return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c - 'A' + 'a') : c;
}

int CompareFolded(const char* left, const char* right) {
  const unsigned char* a = reinterpret_cast<const unsigned char*>(left);
  const unsigned char* b = reinterpret_cast<const unsigned char*>(right);
  for (;; ++a, ++b) {
    const unsigned char ca = FoldToLower(*a);
    const unsigned char cb = FoldToLower(*b);
    if (ca != cb) return ca < cb ? -1 : 1;
    if (ca == 0) return 0;
  }
}

bool CollationIsDefault() {
  const char* name = std::setlocale(LC_COLLATE, nullptr);
  return name == nullptr || std::strcmp(name, "C") == 0 || std::strcmp(name, "POSIX") == 0;
}

// The case-insensitive collation of a locale other than the default one: both sides folded
// to lower case by that locale, then collated. Only here does a comparison allocate.
std::unique_ptr<char[]> FoldByLocale(const char* text) {
  const size_t length = std::strlen(text);
  std::unique_ptr<char[]> folded(new char[length + 1]);
  for (size_t i = 0; i <= length; ++i) {
    folded[i] = static_cast<char>(std::tolower(static_cast<unsigned char>(text[i])));
  }
  return folded;
}

int CollateFolded(const char* left, const char* right) {
  return Sign(std::strcoll(FoldByLocale(left).get(), FoldByLocale(right).get()));
}

}  // namespace

int VxString::Compare(const char* text) const {
  return Sign(std::strcmp(chars, text));
}

int VxString::CompareNoCase(const char* text) const {
  return CompareFolded(chars, text);
}

int VxString::Collate(const char* text) const {
  return Sign(std::strcoll(chars, text));
}

int VxString::CollateNoCase(const char* text) const {
  // Under the default locale collation is the byte order, so this equals CompareNoCase.
  if (CollationIsDefault()) return CompareFolded(chars, text);
  return CollateFolded(chars, text);
}

bool operator==(const VxString& a, const VxString& b) { return a.Compare(b) == 0; }
bool operator==(const VxString& a, const char* b) { return a.Compare(b) == 0; }
bool operator==(const char* a, const VxString& b) { return b.Compare(a) == 0; }
bool operator!=(const VxString& a, const VxString& b) { return a.Compare(b) != 0; }
bool operator!=(const VxString& a, const char* b) { return a.Compare(b) != 0; }
bool operator!=(const char* a, const VxString& b) { return b.Compare(a) != 0; }
bool operator<(const VxString& a, const VxString& b) { return a.Compare(b) < 0; }
bool operator<(const VxString& a, const char* b) { return a.Compare(b) < 0; }
bool operator<(const char* a, const VxString& b) { return b.Compare(a) > 0; }
bool operator>(const VxString& a, const VxString& b) { return a.Compare(b) > 0; }
bool operator>(const VxString& a, const char* b) { return a.Compare(b) > 0; }
bool operator>(const char* a, const VxString& b) { return b.Compare(a) < 0; }
bool operator<=(const VxString& a, const VxString& b) { return a.Compare(b) <= 0; }
bool operator<=(const VxString& a, const char* b) { return a.Compare(b) <= 0; }
bool operator<=(const char* a, const VxString& b) { return b.Compare(a) >= 0; }
bool operator>=(const VxString& a, const VxString& b) { return a.Compare(b) >= 0; }
bool operator>=(const VxString& a, const char* b) { return a.Compare(b) >= 0; }
bool operator>=(const char* a, const VxString& b) { return b.Compare(a) <= 0; }
