//===- drive_map.h - Drive-letter view of the host file system (host only) -===//
// The host build has no drives, so each drive letter stands for a host
// directory. Drive C is always present: it is the directory named by the
// environment variable VX_HOST_DRIVE_C, or else a fresh directory made under
// the host's temporary folder at first use and removed at exit when empty.
// Further letters come from VX_HOST_DRIVE_<letter> or from MapDrive.
//
// Paths are Windows paths: backslashes (forward slashes are taken as well),
// "X:" for a drive, a leading backslash for the root of a drive, and otherwise
// relative to the drive's own current directory. "." and ".." are resolved
// within the drive and never climb above its root. A path's bytes are ANSI
// text (Windows-1252): the host file of a name is the one of its UTF-8 form
// (platform/common/cp1252.h), as Windows hands ANSI names to its file systems in
// Unicode, and the current directory comes back in 1252. Names compare
// without regard to the case of any 1252 letter where the host holds them
// already.
#ifndef VX_PLATFORM_HOST_DRIVE_MAP_H
#define VX_PLATFORM_HOST_DRIVE_MAP_H

#include <string>

namespace platform {

// Lets letter ('A'..'Z', either case) stand for hostDir, an existing host
// directory; its current directory becomes its root. An empty hostDir removes
// the letter (drive C cannot be removed). Returns false for a bad letter.
bool MapDrive(char letter, const std::string& hostDir);

// The host directory that letter stands for, or empty.
std::string MappedDrive(char letter);

// The host path for a Windows path, resolved against the current drive and the
// drives' current directories; empty when the drive is not mapped or the path
// cannot name a file on Windows (a colon past the drive, or one of <>"|?* or a
// control character). The last components need not exist. The host file
// stream opens HostPath(name) instead of name.
std::string HostPath(const char* windowsPath);

}  // namespace platform

#endif  // VX_PLATFORM_HOST_DRIVE_MAP_H
