//===- short_path.h - The 8.3 form of an existing path --------------------===//
// Windows keeps a short alias of letters, digits and a few signs for most
// names, which any program can use where the long name would not survive:
// batch files, for one, are read in the OEM code page and split at blanks.
#ifndef VX_PLATFORM_SHORT_PATH_H
#define VX_PLATFORM_SHORT_PATH_H

#include <cstdint>

namespace platform {

// GetShortPathNameA(path, buffer, size): the length of the short form copied
// to buffer (its terminator not counted), the size needed when buffer is too
// small, 0 when path does not exist or the volume keeps no short names. The
// host has no short names and always returns 0.
uint32_t GetShortPath(const char* path, char* buffer, uint32_t size);

}  // namespace platform

#endif  // VX_PLATFORM_SHORT_PATH_H
