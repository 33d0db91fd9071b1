//===- stored_name.h - Entry names as the launcher stores and compares them -===//
// Host names are UTF-8; the launcher opens entry names with the ANSI calls, so
// an archive stores them in Windows-1252, the ANSI code page of the machines
// the launcher is for, with backslashes between folders.
#ifndef VX_TOOLS_ZVPACK_STORED_NAME_H
#define VX_TOOLS_ZVPACK_STORED_NAME_H

#include <cstddef>
#include <string>

namespace zvpack {

// The stored form of a host name (UTF-8, '/' or '\' between folders). False
// when the name is not valid UTF-8 or holds a character Windows-1252 has none
// for; *problem then says which ("U+65E5 has no Windows-1252 form").
bool ToStoredName(const std::string& hostName, std::string* stored, std::string* problem);

// A stored name in UTF-8, for messages and listings.
std::string DisplayName(const std::string& stored);

// The same key for two stored names that a Windows file system takes as one:
// every letter in upper case (platform::Cp1252UpperCase).
std::string CaseFoldedName(const std::string& stored);

// True when the name holds a byte beyond ASCII, which unpacks as meant only
// where the ANSI code page is 1252.
bool HasNonAsciiByte(const std::string& stored);

// The longest path the launcher can make for an entry: a temporary folder of
// kTempFolderRoom characters (its backslash included), the work folder with
// the largest number its name generator gives and a backslash, and the name.
// Past kMaxPathLength the launcher's file calls refuse the entry.
constexpr size_t kTempFolderRoom = 64;
constexpr char kLongestWorkFolder[] = "VAVOdozu32767\\";
constexpr size_t kMaxPathLength = 259;
constexpr size_t LongestEntryPath(size_t nameLength) {
  return kTempFolderRoom + (sizeof kLongestWorkFolder - 1) + nameLength;
}

}  // namespace zvpack

#endif  // VX_TOOLS_ZVPACK_STORED_NAME_H
