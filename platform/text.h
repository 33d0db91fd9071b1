//===- text.h - The system's 8-bit text services -------------------------===//
// The length of a text, the system message formatter and the conversion of 8-bit text to
// 16-bit units, with the results of the Windows calls they stand for (lstrlenA,
// FormatMessageA, LocalFree, mbstowcs).
#ifndef VX_PLATFORM_TEXT_H
#define VX_PLATFORM_TEXT_H

#include <cstdarg>
#include <cstdint>

namespace platform {

// Bytes before the first NUL; 0 for null.
int TextLength(const char* text);

// The system formatter on a pattern given as text (the flags FORMAT_MESSAGE_FROM_STRING and
// FORMAT_MESSAGE_ALLOCATE_BUFFER, no line-width limit). Inserts: %1 .. %99 name the
// arguments in order, %n!fmt! formats one with a printf conversion (default !s!), a '*' in
// fmt takes its value from the next insert number; escapes: %0 ends the text, %n is CR LF,
// %r CR, %t a tab, any other character after '%' stands for itself (%%, %., %!, %space).
// `args` is read as the system reads a va_list. Returns the number of characters of the
// result and sets *text to a NUL-terminated copy that the caller frees with
// FreeMessageText; returns 0 on failure, when *text may be null.
uint32_t FormatMessageFromString(const char* pattern, va_list* args, char** text);
// Frees a text from FormatMessageFromString; null is ignored.
void FreeMessageText(char* text);

// Converts at most `count` bytes of `source`, stopping after the first NUL (which is
// converted too), into 16-bit units at `dest` by the current locale's multibyte rules; under
// the default locale each byte becomes the unit of the same value. Returns the units
// written, not counting a converted NUL, or -1 when a byte cannot be converted.
int TextToUnits(uint16_t* dest, const char* source, int count);

}  // namespace platform

#endif  // VX_PLATFORM_TEXT_H
