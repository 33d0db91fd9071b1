//===- version_resource.h - The version numbers of a VS_VERSIONINFO -------===//
// Rewrites the file and product version of a version resource (RT_VERSION):
// the four numbers of its fixed part and the FileVersion and ProductVersion
// strings of every string table, keeping every other node and value.
#ifndef VX_TOOLS_ZVPACK_VERSION_RESOURCE_H
#define VX_TOOLS_ZVPACK_VERSION_RESOURCE_H

#include <array>
#include <cstdint>
#include <string>

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

}  // namespace zvpack

#endif  // VX_TOOLS_ZVPACK_VERSION_RESOURCE_H
