//===- free_space.h - Pre-flight checks of the temporary drive ------------===//
// The first half of the launcher's sequence decides from these where the work
// goes and whether there is room for it. Nothing here shows anything or writes
// a file; the entry function shows the message.
#ifndef VX_LAUNCHER_FREE_SPACE_H
#define VX_LAUNCHER_FREE_SPACE_H

#include "string/vx_string.h"

// The room the unpacked setup stage needs: 10 MiB, exact in single precision.
constexpr double kRequiredFreeBytes = 10485760.0;

// The size of the temporary-folder buffer: the platform's path limit.
constexpr int kTempDirSize = 260;

// Fills tempDir (kTempDirSize bytes) with the temporary folder. A result that
// does not begin with a drive letter, a colon and a backslash (a network path,
// a relative path, or no result at all) becomes "C:\".
void TakeTempDir(char* tempDir);

// Replaces tempDir by "C:\" unless its second character is a colon and its
// third a backslash. The inner step of TakeTempDir.
void FixTempDir(char* tempDir);

// rootDrive (3 bytes) = the first character of tempDir, a colon, a terminator.
void TakeRootDrive(const char* tempDir, char* rootDrive);

// The free bytes of root ("C:"), 0 when they cannot be determined.
double GetFreeDiskBytes(const char* root);

// The free figure as the check sees it: rounded to single precision.
float RoundFreeBytes(double freeBytes);

// True when freeBytes, rounded to single precision, is at least 10 MiB. A
// failed query (0) counts as too little.
bool HasRoomForSetup(double freeBytes);

// Message 5 filled in with rootDrive, the required and the available MiB.
VxString FormatNoRoomMessage(const char* rootDrive, double freeBytes);

#endif  // VX_LAUNCHER_FREE_SPACE_H
