// Host process id and wait: getpid, and kill(pid, 0) polled until the process
// is gone. Only generic POSIX code belongs in platform/host.
#include "platform/process_wait.h"

#include <errno.h>
#include <signal.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

namespace platform {

namespace {

// True while a process with that id exists. EPERM means that it exists but
// belongs to someone else.
bool ProcessExists(pid_t pid) { return kill(pid, 0) == 0 || errno == EPERM; }

// A child of ours stays a zombie, which kill still reaches, until it is reaped.
bool ReapedChild(pid_t pid) {
  int status = 0;
  return waitpid(pid, &status, WNOHANG) == pid;
}

void PauseBriefly() {
  const timespec pause = {0, 10 * 1000 * 1000};
  nanosleep(&pause, nullptr);
}

// Polls until the process is gone or, unless bounded is false, ms have passed.
ProcessWait PollForEnd(uint32_t pid, bool bounded, uint32_t ms) {
  const pid_t target = static_cast<pid_t>(pid);
  // Ids that do not fit pid_t would name a process group or every process.
  if (target <= 0) return ProcessWait::kNoSuchProcess;
  if (ReapedChild(target) || !ProcessExists(target)) return ProcessWait::kNoSuchProcess;
  timespec start;
  clock_gettime(CLOCK_MONOTONIC, &start);
  while (!ReapedChild(target) && ProcessExists(target)) {
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    const long long elapsedMs =
        (now.tv_sec - start.tv_sec) * 1000LL + (now.tv_nsec - start.tv_nsec) / 1000000LL;
    if (bounded && elapsedMs >= ms) return ProcessWait::kTimedOut;
    PauseBriefly();
  }
  return ProcessWait::kEnded;
}

}  // namespace

uint32_t CurrentProcessId() { return static_cast<uint32_t>(getpid()); }

uint32_t ParentProcessId() { return static_cast<uint32_t>(getppid()); }

ProcessWait WaitForProcessEnd(uint32_t pid) { return PollForEnd(pid, false, 0); }

ProcessWait WaitForProcessEndFor(uint32_t pid, uint32_t ms) { return PollForEnd(pid, true, ms); }

}  // namespace platform
