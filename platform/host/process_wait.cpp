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

}  // namespace

uint32_t CurrentProcessId() { return static_cast<uint32_t>(getpid()); }

ProcessWait WaitForProcessEnd(uint32_t pid) {
  const pid_t target = static_cast<pid_t>(pid);
  // Ids that do not fit pid_t would name a process group or every process.
  if (target <= 0) return ProcessWait::kNoSuchProcess;
  if (ReapedChild(target) || !ProcessExists(target)) return ProcessWait::kNoSuchProcess;
  while (!ReapedChild(target) && ProcessExists(target)) PauseBriefly();
  return ProcessWait::kEnded;
}

}  // namespace platform
