// Windows text services: the system calls themselves. Only Windows code belongs in platform/win.
#include "platform/text.h"

#include <windows.h>

#include <cstdlib>

static_assert(sizeof(wchar_t) == sizeof(uint16_t), "wchar_t is one 16-bit unit on Windows");

namespace platform {

int TextLength(const char* text) { return lstrlenA(text); }

uint32_t FormatMessageFromString(const char* pattern, va_list* args, char** text) {
  *text = nullptr;
  // With FORMAT_MESSAGE_ALLOCATE_BUFFER the buffer argument receives a pointer that the
  // system allocated with LocalAlloc, hence the cast of the pointer's address.
  DWORD count = FormatMessageA(FORMAT_MESSAGE_FROM_STRING | FORMAT_MESSAGE_ALLOCATE_BUFFER,
                               pattern, 0, 0, reinterpret_cast<LPSTR>(text), 0, args);
  return count;
}

void FreeMessageText(char* text) {
  if (text != nullptr) LocalFree(text);
}

int TextToUnits(uint16_t* dest, const char* source, int count) {
  size_t converted = std::mbstowcs(reinterpret_cast<wchar_t*>(dest), source, static_cast<size_t>(count));
  if (converted == static_cast<size_t>(-1)) return -1;
  return static_cast<int>(converted);
}

}  // namespace platform
