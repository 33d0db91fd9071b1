// The pending output file over POSIX calls, and its removal on a terminating signal.
#include "platform/tool/pending_output.h"

#include <dirent.h>
#include <fcntl.h>
#include <pthread.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <vector>

namespace platform_tool {
namespace {

constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};
struct sigaction gPrevious[sizeof kSignals / sizeof kSignals[0]];

// The file and folder to remove when a signal arrives; only read in the handler.
char* volatile gPendingFile = nullptr;
char* volatile gPendingFolder = nullptr;

void RemovePendingAndDie(int signal) {
  if (const char* path = gPendingFile) unlink(path);
  if (const char* path = gPendingFolder) rmdir(path);
  // SA_RESETHAND has put the default action back: the signal ends the process
  // once the handler returns.
  raise(signal);
}

char* Copy(const std::string& text) {
  char* copy = new char[text.size() + 1];
  std::memcpy(copy, text.c_str(), text.size() + 1);
  return copy;
}

void Guard(const std::string& file, const std::string& folder) {
  gPendingFile = Copy(file);
  gPendingFolder = Copy(folder);
  struct sigaction action = {};
  action.sa_handler = RemovePendingAndDie;
  action.sa_flags = SA_RESETHAND;
  sigemptyset(&action.sa_mask);
  for (size_t i = 0; i < sizeof kSignals / sizeof kSignals[0]; ++i) sigaction(kSignals[i], &action, &gPrevious[i]);
}

void Unguard() {
  for (size_t i = 0; i < sizeof kSignals / sizeof kSignals[0]; ++i) sigaction(kSignals[i], &gPrevious[i], nullptr);
  char* file = gPendingFile;
  char* folder = gPendingFolder;
  gPendingFile = gPendingFolder = nullptr;
  delete[] file;
  delete[] folder;
}

// The folder and the files in it (the pending output's folder has no subfolders of its own).
void RemoveFolder(const std::string& folder) {
  if (DIR* dir = opendir(folder.c_str())) {
    while (const dirent* entry = readdir(dir)) {
      const std::string name = entry->d_name;
      if (name != "." && name != "..") unlink((folder + "/" + name).c_str());
    }
    closedir(dir);
  }
  rmdir(folder.c_str());
}

}  // namespace

PendingOutput::~PendingOutput() { Discard(); }

bool PendingOutput::Create(const std::string& folderPrefix, const std::string& name, unsigned mode,
                           std::string* reason) {
  mode_ = mode;
  std::vector<char> folder(folderPrefix.begin(), folderPrefix.end());
  const char kRandomPart[] = "XXXXXX";
  folder.insert(folder.end(), kRandomPart, kRandomPart + sizeof kRandomPart);
  // A signal between making the folder and guarding it would leave the folder: it waits until both are done.
  sigset_t signals, previous;
  sigemptyset(&signals);
  for (int signal : kSignals) sigaddset(&signals, signal);
  pthread_sigmask(SIG_BLOCK, &signals, &previous);
  const bool made = mkdtemp(folder.data()) != nullptr;
  const int madeErrno = errno;
  if (made) {
    folder_ = folder.data();
    path_ = folder_ + "/" + name;
    Guard(path_, folder_);
  }
  pthread_sigmask(SIG_SETMASK, &previous, nullptr);
  if (!made) {
    *reason = std::strerror(madeErrno);
    return false;
  }
  // open applies the umask, as to any file made.
  const int fd = open(path_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, static_cast<mode_t>(mode_));
  file_ = fd < 0 ? nullptr : fdopen(fd, "wb");
  if (file_ == nullptr) {
    *reason = std::strerror(errno);
    if (fd >= 0) close(fd);
    Discard();
    return false;
  }
  return true;
}

bool PendingOutput::CloseFile() {
  const bool closed = file_ == nullptr || std::fclose(file_) == 0;
  file_ = nullptr;
  return closed;
}

bool PendingOutput::MoveOver(const std::string& target, std::string* reason) {
  CloseFile();
  const mode_t mask = umask(0);
  umask(mask);
  if (chmod(path_.c_str(), static_cast<mode_t>(mode_) & ~mask) != 0 || std::rename(path_.c_str(), target.c_str()) != 0) {
    *reason = std::strerror(errno);
    return false;
  }
  path_.clear();
  return true;
}

void PendingOutput::Discard() {
  if (file_ != nullptr) std::fclose(file_);
  file_ = nullptr;
  if (folder_.empty()) return;
  if (!path_.empty()) unlink(path_.c_str());
  RemoveFolder(folder_);
  folder_.clear();
  path_.clear();
  Unguard();
}

std::string FileNameOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace platform_tool
