// The temporary output file and its removal on a terminating signal.
#include "tools/zvpack/temp_output.h"

#include <pthread.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <vector>

namespace zvpack {
namespace {

constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};
struct sigaction gPrevious[sizeof kSignals / sizeof kSignals[0]];

// The file to remove when a signal arrives; only read in the handler.
char* volatile gPendingPath = nullptr;

void RemovePendingAndDie(int signal) {
  if (const char* path = gPendingPath) unlink(path);
  // SA_RESETHAND has put the default action back: the signal ends the process
  // once the handler returns.
  raise(signal);
}

void Guard(char* path) {
  gPendingPath = path;
  struct sigaction action = {};
  action.sa_handler = RemovePendingAndDie;
  action.sa_flags = SA_RESETHAND;
  sigemptyset(&action.sa_mask);
  for (size_t i = 0; i < sizeof kSignals / sizeof kSignals[0]; ++i) sigaction(kSignals[i], &action, &gPrevious[i]);
}

void Unguard() {
  for (size_t i = 0; i < sizeof kSignals / sizeof kSignals[0]; ++i) sigaction(kSignals[i], &gPrevious[i], nullptr);
  char* path = gPendingPath;
  gPendingPath = nullptr;
  delete[] path;
}

}  // namespace

TempOutput::~TempOutput() { Discard(); }

bool TempOutput::Open(std::string* error) {
  std::vector<char> name(target_.begin(), target_.end());
  const char kSuffix[] = ".tmpXXXXXX";
  name.insert(name.end(), kSuffix, kSuffix + sizeof kSuffix);
  char* pending = new char[name.size()];
  // A signal between making the file and guarding it would leave the file: it waits until both are done.
  sigset_t signals, previous;
  sigemptyset(&signals);
  for (int signal : kSignals) sigaddset(&signals, signal);
  pthread_sigmask(SIG_BLOCK, &signals, &previous);
  int fd = mkstemp(name.data());
  if (fd >= 0) {
    std::memcpy(pending, name.data(), name.size());
    Guard(pending);
  }
  pthread_sigmask(SIG_SETMASK, &previous, nullptr);
  if (fd < 0) {
    delete[] pending;
    *error = target_ + ": " + std::strerror(errno);
    return false;
  }
  path_ = name.data();
  // mkstemp makes the file private; the archive gets the usual permissions.
  const mode_t mask = umask(0);
  umask(mask);
  fchmod(fd, mode_ & ~mask);
  file_ = fdopen(fd, "wb");
  if (file_ == nullptr) {
    *error = path_ + ": " + std::strerror(errno);
    close(fd);
    Discard();
    return false;
  }
  return true;
}

bool TempOutput::Commit(std::string* error) {
  const bool closed = std::fclose(file_) == 0;
  file_ = nullptr;
  if (!closed) {
    *error = path_ + ": write failed";
  } else if (std::rename(path_.c_str(), target_.c_str()) != 0) {
    *error = target_ + ": " + std::strerror(errno);
  } else {
    path_.clear();
    Unguard();
    return true;
  }
  Discard();
  return false;
}

void TempOutput::Discard() {
  if (file_ != nullptr) std::fclose(file_);
  file_ = nullptr;
  if (!path_.empty()) {
    std::remove(path_.c_str());
    path_.clear();
    Unguard();
  }
}

}  // namespace zvpack
