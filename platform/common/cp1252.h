//===- cp1252.h - Windows-1252 text and UTF-8 ------------------------------===//
// The host build's ANSI code page is Windows-1252 (platform/codepage.h), and
// host file systems name files in UTF-8. Windows hands an ANSI name to the file
// system as Unicode, converted as MultiByteToWideChar does for code page 1252;
// these functions are that mapping between the ANSI bytes and UTF-8. It is
// defined once here, for the host file layer and the tools alike; pure code,
// compiled into both builds (the archive's names are 1252 on every system).
//
// Every byte has a character: the five bytes that 1252 leaves unassigned (81,
// 8D, 8F, 90, 9D) stand for the C1 controls of the same number, as on Windows.
#ifndef VX_PLATFORM_COMMON_CP1252_H
#define VX_PLATFORM_COMMON_CP1252_H

#include <string>

namespace platform {

// The Unicode character of a Windows-1252 byte.
char32_t Cp1252ToUnicode(unsigned char byte);

// The Windows-1252 byte of ch; false when 1252 has none.
bool UnicodeToCp1252(char32_t ch, unsigned char* byte);

// The UTF-8 form of a Windows-1252 text (never fails).
std::string Cp1252ToUtf8(const std::string& ansi);

// The Windows-1252 form of a UTF-8 text. False when utf8 is not valid UTF-8
// (overlong forms, surrogates and truncated sequences included) or holds a
// character 1252 has none for; *problem then says which ("U+65E5 has no
// Windows-1252 form", "not valid UTF-8 at byte 3") and *ansi is unspecified.
bool Utf8ToCp1252(const std::string& utf8, std::string* ansi, std::string* problem);

// The upper case of a Windows-1252 byte, as Windows file systems compare names:
// every letter of 1252 has one ("é" and "É", "œ" and "Œ", "ÿ" and "Ÿ"), but
// "ß", whose upper case is two letters, stays itself.
unsigned char Cp1252UpperCase(unsigned char byte);

// Whether two UTF-8 names (NUL-terminated) are one name to a Windows file
// system: both have a Windows-1252 form, and the two are the same but for case.
bool SameCp1252NameIgnoringCase(const char* utf8a, const char* utf8b);

}  // namespace platform

#endif  // VX_PLATFORM_COMMON_CP1252_H
