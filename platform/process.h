//===- process.h - Own file name and starting a program -------------------===//
// GetModuleFileNameA, WinExec and CreateProcessA. The host build starts
// nothing: it records what would be started for tests and answers the module
// name with a fixed Windows path. Both builds honour the test hooks below.
#ifndef VX_PLATFORM_PROCESS_H
#define VX_PLATFORM_PROCESS_H

#include <cstdint>

namespace platform {

// GetModuleFileNameA(module, buffer, size): the full file name of module
// (null: the executable), truncated to fit; the number of characters copied,
// 0 on failure. Host: "C:\zvsetup.exe" unless a test override is set.
uint32_t GetModulePath(void* module, char* buffer, uint32_t size);

// WinExec(command, show): a value above 31 when the program was started.
// The program is searched for as WinExec does, the folder of the calling
// program first: only for programs of the system (cmd.exe, say).
// While commands are recorded (always on the host), nothing is started, the
// command is kept and 33 is returned.
uint32_t StartCommand(const char* command, uint32_t show);

// CreateProcessA with program (a full path: no search of any folder) as the
// program to run and commandLine as its command line, unchanged, shown with
// show, in the current directory of this process. The handles of the new
// process are closed at once. 0 when the program was started, else the
// system's error code. While commands are recorded (always on the host),
// nothing is started and the start counts as made, unless a test makes it fail.
uint32_t StartProgram(const char* program, const char* commandLine, uint32_t show);

// Test hooks. RecordCommandsForTesting(true) keeps every command instead of
// starting it and forgets earlier ones; false goes back to starting (on
// Windows; the host only ever records). LastCommandForTesting is the last
// command kept, empty when there is none; CommandCountForTesting how many were
// kept. A null module path clears the override.
void RecordCommandsForTesting(bool record);
const char* LastCommandForTesting();
// The program named to StartProgram with the last command kept; empty for a
// command of StartCommand.
const char* LastProgramForTesting();
// The current directory at the time the last command was kept.
const char* LastCommandDirForTesting();
int CommandCountForTesting();
uint32_t LastShowForTesting();
// While error is nonzero, a recorded StartProgram keeps nothing and returns it.
void FailProgramStartsForTesting(uint32_t error);
void SetModulePathForTesting(const char* path);

}  // namespace platform

#endif  // VX_PLATFORM_PROCESS_H
