//===- vx_string_case.cpp - VxString case, order and code-page changes ---===//
// All are text scans done in place on a private block: they stop at the first NUL and
// never change the length.
#include "string/vx_string.h"

#include <algorithm>
#include <cstring>

#include "platform/codepage.h"

void VxString::MakeUpper() {
  CopyBeforeWrite();
  // Only a to z: under the default locale no other byte has a case.
  for (char* p = chars; *p != '\0'; ++p) {
    if (*p >= 'a' && *p <= 'z') *p = static_cast<char>(*p - 'a' + 'A');
  }
}

void VxString::MakeLower() {
  CopyBeforeWrite();
  for (char* p = chars; *p != '\0'; ++p) {
    if (*p >= 'A' && *p <= 'Z') *p = static_cast<char>(*p - 'A' + 'a');
  }
}

void VxString::MakeReverse() {
  CopyBeforeWrite();
  std::reverse(chars, chars + std::strlen(chars));
}

// The system call stores the terminator again even for an empty text; the shared empty
// block is spared that store.
void VxString::CharToOemA() {
  CopyBeforeWrite();
  if (*chars != '\0') platform::AnsiTextToOem(chars);
}

void VxString::OemToCharA() {
  CopyBeforeWrite();
  if (*chars != '\0') platform::OemTextToAnsi(chars);
}
