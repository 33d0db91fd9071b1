//===- process_wait.h - Own process id and waiting for a process's end ----===//
// GetCurrentProcessId, and OpenProcess(SYNCHRONIZE) with WaitForSingleObject.
// The host build answers with getpid and polls kill(pid, 0).
#ifndef VX_PLATFORM_PROCESS_WAIT_H
#define VX_PLATFORM_PROCESS_WAIT_H

#include <cstdint>

namespace platform {

// The id of the calling process.
uint32_t CurrentProcessId();

// The id of the process that started the calling one, 0 when it cannot be
// told. The parent may have ended since, and its id may even be in use again.
uint32_t ParentProcessId();

enum class ProcessWait {
  kEnded,          // the process was running and has ended
  kNoSuchProcess,  // no process has that id (it may have ended before the call)
  kFailed,         // the process exists but cannot be waited for (access refused)
  kTimedOut,       // the process still runs at the end of a bounded wait
};

// Blocks until the process with id pid has ended, without a time limit.
// Id 0 is never a process. Windows reports kFailed when the system refuses to
// open the process (another user's) or the wait fails. The host waits for any
// process it can see, another user's too, so it never reports kFailed; it
// reaps the process when it is a child of ours, since a child that is not
// reaped never disappears.
ProcessWait WaitForProcessEnd(uint32_t pid);

// As WaitForProcessEnd, for at most ms milliseconds.
ProcessWait WaitForProcessEndFor(uint32_t pid, uint32_t ms);

}  // namespace platform

#endif  // VX_PLATFORM_PROCESS_WAIT_H
