// Archive entry name checks.
#include "archive/entry_name.h"

#include <cstring>

namespace {

bool EqualNoCase(const char* a, size_t length, const char* b) {
  if (std::strlen(b) != length) return false;
  for (size_t i = 0; i < length; ++i) {
    unsigned char x = static_cast<unsigned char>(a[i]);
    unsigned char y = static_cast<unsigned char>(b[i]);
    if (x >= 'a' && x <= 'z') x = static_cast<unsigned char>(x - 'a' + 'A');
    if (x != y) return false;
  }
  return true;
}

// Windows-1252 superscript one, two and three, which Windows also takes as
// port numbers.
bool IsPortDigit(unsigned char ch) {
  return (ch >= '0' && ch <= '9') || ch == 0xB9 || ch == 0xB2 || ch == 0xB3;
}

bool IsDeviceName(const char* component, size_t length) {
  // The device is named by the part before the first dot, blanks before the
  // dot dropped: "con.txt" and "NUL .log" both reach a device.
  size_t base = 0;
  while (base < length && component[base] != '.') ++base;
  while (base > 0 && component[base - 1] == ' ') --base;
  static const char* const kDevices[] = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$", "CLOCK$"};
  for (const char* device : kDevices) {
    if (EqualNoCase(component, base, device)) return true;
  }
  if (base == 4 && IsPortDigit(static_cast<unsigned char>(component[3])) &&
      (EqualNoCase(component, 3, "COM") || EqualNoCase(component, 3, "LPT"))) {
    return true;
  }
  return false;
}

bool IsPlainComponent(const char* component, size_t length) {
  if (length == 0) return false;
  if (length <= 2 && component[0] == '.' && (length == 1 || component[1] == '.')) return false;
  for (size_t i = 0; i < length; ++i) {
    unsigned char ch = static_cast<unsigned char>(component[i]);
    if (ch < 0x20 || std::strchr("/:*?\"<>|", ch) != nullptr) return false;
  }
  char last = component[length - 1];
  if (last == '.' || last == ' ') return false;
  return !IsDeviceName(component, length);
}

}  // namespace

bool IsPlainEntryName(const char* name, size_t length) {
  size_t start = 0;
  for (size_t i = 0; i <= length; ++i) {
    if (i == length || name[i] == '\\') {
      if (!IsPlainComponent(name + start, i - start)) return false;
      start = i + 1;
    }
  }
  return true;
}
