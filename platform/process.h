//===- process.h - Own file name and starting a program -------------------===//
// GetModuleFileNameA and WinExec. The host build starts nothing: it records
// the command for tests and answers the module name with a fixed Windows path.
// Both builds honour the test hooks below.
#ifndef VX_PLATFORM_PROCESS_H
#define VX_PLATFORM_PROCESS_H

#include <cstdint>

namespace platform {

// GetModuleFileNameA(module, buffer, size): the full file name of module
// (null: the executable), truncated to fit; the number of characters copied,
// 0 on failure. Host: "C:\zvsetup.exe" unless a test override is set.
uint32_t GetModulePath(void* module, char* buffer, uint32_t size);

// WinExec(command, show): a value above 31 when the program was started.
// While commands are recorded (always on the host), nothing is started, the
// command is kept and 33 is returned.
uint32_t StartCommand(const char* command, uint32_t show);

// Test hooks. RecordCommandsForTesting(true) keeps every command instead of
// starting it and forgets earlier ones; false goes back to starting (on
// Windows; the host only ever records). LastCommandForTesting is the last
// command kept, empty when there is none; CommandCountForTesting how many were
// kept. A null module path clears the override.
void RecordCommandsForTesting(bool record);
const char* LastCommandForTesting();
// The current directory at the time the last command was kept.
const char* LastCommandDirForTesting();
int CommandCountForTesting();
uint32_t LastShowForTesting();
void SetModulePathForTesting(const char* path);

}  // namespace platform

#endif  // VX_PLATFORM_PROCESS_H
