//===- language.h - The user's and the system's default language ---------===//
// Windows language identifiers (primary language in the low 10 bits, sublanguage above).
#ifndef VX_PLATFORM_LANGUAGE_H
#define VX_PLATFORM_LANGUAGE_H

#include <cstdint>

namespace platform {

// GetUserDefaultLangID and GetSystemDefaultLangID on Windows. The host has no such setting and
// answers 0x0409 (English, United States) for both unless a test has put in queries of its own.
uint16_t GetUserDefaultLanguage();
uint16_t GetSystemDefaultLanguage();

}  // namespace platform

#endif  // VX_PLATFORM_LANGUAGE_H
