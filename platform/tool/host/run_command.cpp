// Running a command line through /bin/sh, signals passed on to it.
#include "platform/tool/run_command.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>

namespace platform_tool {
namespace {

constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};
constexpr size_t kSignalCount = sizeof kSignals / sizeof kSignals[0];

volatile sig_atomic_t gChild = 0;
volatile sig_atomic_t gInterrupt = 0;

// A terminal's Ctrl-C reaches the command by itself (one process group); a
// kill aimed at the tool alone is passed on.
void PassOn(int signal) {
  gInterrupt = signal;
  if (gChild > 0) kill(static_cast<pid_t>(gChild), signal);
}

void Catch(struct sigaction* previous) {
  struct sigaction action = {};
  action.sa_handler = PassOn;
  sigemptyset(&action.sa_mask);
  for (size_t i = 0; i < kSignalCount; ++i) sigaction(kSignals[i], &action, &previous[i]);
}

void Restore(const struct sigaction* previous) {
  for (size_t i = 0; i < kSignalCount; ++i) sigaction(kSignals[i], &previous[i], nullptr);
}

[[noreturn]] void RunInChild(const std::string& commandLine) {
  dup2(STDERR_FILENO, STDOUT_FILENO);
  execl("/bin/sh", "sh", "-c", commandLine.c_str(), static_cast<char*>(nullptr));
  _exit(127);
}

}  // namespace

CommandResult RunCommandLine(const std::string& commandLine) {
  CommandResult result;
  struct sigaction previous[kSignalCount];
  gInterrupt = 0;
  Catch(previous);
  const pid_t child = fork();
  if (child == 0) {
    Restore(previous);
    RunInChild(commandLine);
  }
  if (child < 0) {
    result.error = std::string("cannot start /bin/sh: ") + std::strerror(errno);
    Restore(previous);
    return result;
  }
  gChild = child;
  if (gInterrupt != 0) kill(child, gInterrupt);
  int status = 0;
  while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  gChild = 0;
  Restore(previous);
  result.started = true;
  result.interrupt = gInterrupt;
  if (WIFSIGNALED(status)) {
    result.endedBy = WTERMSIG(status);
  } else {
    result.exitCode = WEXITSTATUS(status);
  }
  return result;
}

std::string QuoteForCommandLine(const std::string& path) {
  std::string quoted = "'";
  for (char c : path) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

void EndAsSignalled(int interrupt) {
  std::signal(interrupt, SIG_DFL);
  raise(interrupt);
  _exit(128 + interrupt);
}

void SleepSeconds(unsigned seconds) {
  while (seconds > 0) seconds = sleep(seconds);
}

}  // namespace platform_tool
