// Paths made safe for the clean-up script.
#include "launcher/script_path.h"

#include "platform/codepage.h"
#include "platform/short_path.h"

#include <cstring>

namespace {

// Characters that end or redirect a command, or separate its arguments.
bool SplitsCommand(unsigned char c) { return c == ' ' || std::strchr("&|<>()^,;=", c) != nullptr; }

bool HoldsSplitter(const VxString& text) {
  for (int i = 0; i < text.GetLength(); ++i) {
    if (SplitsCommand(static_cast<unsigned char>(text[i]))) return true;
  }
  return false;
}

bool IsAscii(const VxString& text) {
  for (int i = 0; i < text.GetLength(); ++i) {
    if (static_cast<unsigned char>(text[i]) > 0x7E) return false;
  }
  return true;
}

// The short form of path; for a path that does not exist yet, that of its
// longest existing leading part with the rest appended as it is.
bool ShortForm(const char* path, VxString* shortPath) {
  VxString head(path);
  VxString tail;
  for (;;) {
    char buffer[512];
    const uint32_t length = platform::GetShortPath(head, buffer, sizeof buffer);
    if (length > 0 && length < sizeof buffer) {
      *shortPath = VxString(buffer) + tail;
      return true;
    }
    const int cut = head.ReverseFind('\\');
    if (cut <= 0) return false;
    tail = head.Mid(cut) + tail;
    head = head.Left(cut);
  }
}

// The OEM form of path when it converts back to exactly path.
bool OemForm(const char* path, VxString* oem) {
  VxString converted(path);
  converted.CharToOemA();
  VxString back(converted);
  back.OemToCharA();
  if (back != path) return false;
  *oem = converted;
  return true;
}

VxString Quoted(const VxString& text) {
  VxString escaped = EscapePercents(text);
  if (!HoldsSplitter(escaped)) return escaped;
  return VxString("\"") + escaped + "\"";
}

}  // namespace

VxString EscapePercents(const char* text) {
  VxString escaped;
  for (const char* p = text; *p != '\0'; ++p) {
    escaped += *p;
    if (*p == '%') escaped += '%';
  }
  return escaped;
}

bool IsPlainBatchPath(const char* path) {
  for (const unsigned char* p = reinterpret_cast<const unsigned char*>(path); *p != '\0'; ++p) {
    if (*p < 0x21 || *p > 0x7E || *p == '%' || *p == '"' || SplitsCommand(*p)) return false;
  }
  return true;
}

VxString BatchPath(const char* path) {
  if (IsPlainBatchPath(path)) return VxString(path);
  VxString safe;
  if (ShortForm(path, &safe) && IsAscii(safe)) return Quoted(safe);
  if (!OemForm(path, &safe)) safe = path;
  return Quoted(safe);
}
