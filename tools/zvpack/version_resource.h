//===- version_resource.h - The version numbers of a VS_VERSIONINFO -------===//
// Rewrites the file and product version of a version resource (RT_VERSION):
// the four numbers of its fixed part and the FileVersion and ProductVersion
// strings of every string table, keeping every other node and value; and sets
// any string of the string tables (CompanyName, FileDescription, ...).
#ifndef VX_TOOLS_ZVPACK_VERSION_RESOURCE_H
#define VX_TOOLS_ZVPACK_VERSION_RESOURCE_H

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace zvpack {

using FileVersion = std::array<uint16_t, 4>;

// "A.B.C.D", each a decimal number from 0 to 65535.
bool ParseFileVersion(const std::string& text, FileVersion* version);

// "A.B.C.D".
std::string FileVersionText(const FileVersion& version);

// The file version of the fixed part of one VS_VERSIONINFO resource; false
// when the bytes are no such resource.
bool GetFileVersion(const std::string& resource, FileVersion* version);

// Sets the version in the bytes of one VS_VERSIONINFO resource. False, with
// one line in *error, when the bytes are no such resource; *resource is then
// unchanged.
bool SetFileVersion(std::string* resource, const FileVersion& version, std::string* error);

// One string of the string tables: its key (ASCII) and its value.
struct VersionString {
  std::string key;
  std::u16string value;
};

// "KEY=VALUE" with a key of ASCII letters and digits and a value in UTF-8;
// false with one line in *error.
bool ParseVersionString(const std::string& text, VersionString* string, std::string* error);

// Sets each string in every string table of one VS_VERSIONINFO resource,
// adding the key to a table that lacks it. False, with one line in *error,
// when the bytes are no such resource, it has no string table, or it would
// pass 64 KiB; *resource is then unchanged.
bool SetVersionStrings(std::string* resource, const std::vector<VersionString>& strings, std::string* error);

// The value of key in the first string table that has it; false when none has.
bool GetVersionString(const std::string& resource, const std::string& key, std::u16string* value);

}  // namespace zvpack

#endif  // VX_TOOLS_ZVPACK_VERSION_RESOURCE_H
