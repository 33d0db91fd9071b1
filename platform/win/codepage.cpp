// Windows code-page conversion: the user32 calls themselves, with the system's own ANSI and
// OEM code pages. Only Windows code belongs in platform/win.
#include "platform/codepage.h"

#include <windows.h>

namespace platform {

void AnsiTextToOem(char* text) {
  ::CharToOemA(text, text);
}

void OemTextToAnsi(char* text) {
  ::OemToCharA(text, text);
}

unsigned AnsiCodePage() {
  return ::GetACP();
}

unsigned OemCodePage() {
  return ::GetOEMCP();
}

}  // namespace platform
