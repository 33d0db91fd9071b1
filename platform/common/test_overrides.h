//===- test_overrides.h - Answers that tests put in place (internal) ------===//
// Internal to platform/: the test seams of disk.h and process.h keep their
// state here, so that the host and the Windows sides share one implementation.
// Single-threaded, as the launcher is.
#ifndef VX_PLATFORM_COMMON_TEST_OVERRIDES_H
#define VX_PLATFORM_COMMON_TEST_OVERRIDES_H

#include <cstdint>

namespace platform {
namespace internal {

// Copies text into buffer as GetTempPathA does: the length without the
// terminator, or the size needed (buffer unchanged) when it does not fit.
uint32_t CopyAsTempPath(const char* text, uint32_t size, char* buffer);

// Copies text into buffer as GetModuleFileNameA does: truncated to size - 1
// characters and terminated; the number of characters copied, 0 for size 0.
uint32_t CopyAsModulePath(const char* text, uint32_t size, char* buffer);

// The overrides, null or false when none is set.
const char* TempFolderOverride();
bool FreeBytesOverride(double* freeBytes);
const char* ModulePathOverride();

// True while commands are recorded instead of started.
bool RecordingCommands();
// Keeps command and show as the last recorded start; returns what WinExec
// returns for a started program.
uint32_t RecordCommand(const char* command, uint32_t show);
// The same for a start by program path; returns what StartProgram returns: 0,
// or the error a test asked for (and then keeps nothing).
uint32_t RecordProgramStart(const char* program, const char* commandLine, uint32_t show);

}  // namespace internal
}  // namespace platform

#endif  // VX_PLATFORM_COMMON_TEST_OVERRIDES_H
