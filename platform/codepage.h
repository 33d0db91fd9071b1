//===- codepage.h - ANSI and OEM code-page conversion in place -----------===//
// The two conversions of the Windows calls CharToOemA and OemToCharA with one text as
// both source and destination. Windows converts between the system's ANSI and OEM code
// pages; the host build fixes them at Windows-1252 and code page 850 (the pair of a
// Western European system) and maps byte for byte as Windows does, best-fit mapping of
// characters without an exact counterpart included.
#ifndef VX_PLATFORM_CODEPAGE_H
#define VX_PLATFORM_CODEPAGE_H

namespace platform {

// Converts the bytes before the first NUL, in place; the length does not change. `text`
// must not be null. (Not named AnsiToOem and OemToAnsi: winuser.h defines those as macros.)
void AnsiTextToOem(char* text);
void OemTextToAnsi(char* text);

// The code pages the two conversions use: on Windows the system's (GetACP, GetOEMCP),
// on the host always 1252 and 850.
unsigned AnsiCodePage();
unsigned OemCodePage();

}  // namespace platform

#endif  // VX_PLATFORM_CODEPAGE_H
