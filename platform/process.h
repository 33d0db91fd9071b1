//===- process.h - Own file name and starting a program -------------------===//
// GetModuleFileNameA, WinExec and CreateProcessA. The host build runs no
// Windows program: a start counts as made and nothing runs, and the module name
// is a fixed Windows path. Tests put their own recorder in place of these calls
// (platform/testing/process_recorder.h).
#ifndef VX_PLATFORM_PROCESS_H
#define VX_PLATFORM_PROCESS_H

#include <cstdint>

namespace platform {

// GetModuleFileNameA(module, buffer, size): the full file name of module
// (null: the executable), truncated to fit; the number of characters copied,
// 0 on failure. Host: "C:\zvsetup.exe".
uint32_t GetModulePath(void* module, char* buffer, uint32_t size);

// GetSystemDirectoryA(buffer, size): the system folder, where the system's own
// programs lie, without a trailing backslash; the length copied, 0 on failure
// or when it does not fit. Host: "C:\Windows\system32".
uint32_t GetSystemFolder(char* buffer, uint32_t size);

// WinExec(command, show): a value above 31 when the program was started.
// The program is searched for as WinExec does, the folder of the calling
// program first: only for programs of the system (cmd.exe, say).
uint32_t StartCommand(const char* command, uint32_t show);

// How long StartProgram waits at most for the started program to come up: as
// long as WinExec waits.
constexpr uint32_t kStartedProgramInputWaitMs = 30000;

// CreateProcessA with program (a full path: no search of any folder) as the
// program to run and commandLine as its command line, unchanged, shown with
// show, in the current directory of this process. Like WinExec it returns only
// once the new process first waits for input (WaitForInputIdle), has ended, or
// kStartedProgramInputWaitMs have passed; then the handles of the new process
// are closed. 0 when the program was started, else the system's error code.
uint32_t StartProgram(const char* program, const char* commandLine, uint32_t show);

// The errors of StartProgram that mean the system had no memory for the start
// (ERROR_NOT_ENOUGH_MEMORY, ERROR_OUTOFMEMORY).
inline bool IsOutOfMemoryError(uint32_t error) { return error == 8 || error == 14; }

}  // namespace platform

#endif  // VX_PLATFORM_PROCESS_H
