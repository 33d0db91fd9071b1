// The pending output file over Win32 calls, and its removal on Ctrl-C.
#include "platform/tool/pending_output.h"

#include "platform/tool/win/console_interrupt.h"
#include "platform/tool/win/system_reason.h"
#include "platform/tool/win/wide_text.h"

#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <string>

namespace platform_tool {
namespace {

// What the console handler removes: set and cleared under gLock, which also
// keeps the handler out while the stream is closed or the file moved, so that
// exactly one side closes the handle.
SRWLOCK gLock = SRWLOCK_INIT;
HANDLE gFile = nullptr;  // the handle behind the open stream, else null
std::wstring gFilePath;
std::wstring gFolder;

constexpr int kHeldTries = 20;       // a virus scanner's hold: 2 s in all
constexpr DWORD kHeldPauseMs = 100;

class Locked {
 public:
  Locked() { AcquireSRWLockExclusive(&gLock); }
  ~Locked() { ReleaseSRWLockExclusive(&gLock); }
  Locked(const Locked&) = delete;
  Locked& operator=(const Locked&) = delete;
};

bool HeldByAnother(DWORD error) {
  return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION || error == ERROR_ACCESS_DENIED;
}

// Calls attempt until it succeeds, fails for a reason other than another
// program's hold, or the hold outlasts the tries; the last error stays.
template <typename Attempt>
bool RetryWhileHeld(Attempt attempt) {
  for (int tries = 1;; ++tries) {
    if (attempt()) return true;
    if (tries == kHeldTries || !HeldByAnother(GetLastError())) return false;
    Sleep(kHeldPauseMs);
  }
}

bool IsFolder(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// The folder and the files in it (the pending output's folder has no subfolders of its own).
void RemoveFolderWithFiles(const std::wstring& folder) {
  WIN32_FIND_DATAW found;
  const HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) continue;
      const std::wstring file = folder + L"\\" + found.cFileName;
      RetryWhileHeld([&file] { return DeleteFileW(file.c_str()) != 0; });
    } while (FindNextFileW(search, &found));
    FindClose(search);
  }
  RetryWhileHeld([&folder] { return RemoveDirectoryW(folder.c_str()) != 0; });
}

// Runs on a thread of its own, while another thread may be writing the file.
// The handle is closed under that thread: a WriteFile already under way keeps
// the file object until it returns, and a later one fails. Closing the stream,
// moving the file and discarding it all take gLock first, which is never
// released here, so the handle is not closed twice, and a writer that meets
// the failed write and discards the output waits there until the process ends.
BOOL WINAPI RemovePendingAndEnd(DWORD /*event*/) {
  AcquireSRWLockExclusive(&gLock);
  if (gFile != nullptr) CloseHandle(gFile);
  if (!gFolder.empty()) RemoveFolderWithFiles(gFolder);
  TerminateProcess(GetCurrentProcess(), kCtrlCExitCode);
  return TRUE;
}

// Six letters or digits that differ from one call to the next and from one process to another.
std::string RandomPart() {
  static const char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
  static unsigned long long state = 0;
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  state += 0x9E3779B97F4A7C15ull ^ static_cast<unsigned long long>(now.QuadPart) ^
           (static_cast<unsigned long long>(GetCurrentProcessId()) << 40);
  unsigned long long mixed = state;  // splitmix64's finaliser
  mixed = (mixed ^ (mixed >> 30)) * 0xBF58476D1CE4E5B9ull;
  mixed = (mixed ^ (mixed >> 27)) * 0x94D049BB133111EBull;
  mixed ^= mixed >> 31;
  std::string part;
  for (int i = 0; i < 6; ++i, mixed /= sizeof kAlphabet - 1) part += kAlphabet[mixed % (sizeof kAlphabet - 1)];
  return part;
}

// Makes a folder prefix + RandomPart(), another name when one is taken; its
// name in *folder, or the error.
DWORD MakeFreshFolder(const std::string& prefix, std::string* folder) {
  constexpr int kNames = 100;
  DWORD error = ERROR_ALREADY_EXISTS;
  for (int i = 0; i < kNames && error == ERROR_ALREADY_EXISTS; ++i) {
    *folder = prefix + RandomPart();
    error = CreateDirectoryW(WideFromUtf8(*folder).c_str(), nullptr) ? ERROR_SUCCESS : GetLastError();
  }
  return error;
}

// The new file, made exclusively, as a stream that owns its handle; null with the error left.
std::FILE* CreateStream(const std::wstring& path, HANDLE* handle) {
  *handle = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                        nullptr);
  if (*handle == INVALID_HANDLE_VALUE) return nullptr;
  const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(*handle), _O_WRONLY | _O_BINARY);
  std::FILE* stream = fd < 0 ? nullptr : _fdopen(fd, "wb");
  if (stream != nullptr) return stream;
  const DWORD error = GetLastError();
  if (fd >= 0) {
    _close(fd);
  } else {
    CloseHandle(*handle);
  }
  SetLastError(error == ERROR_SUCCESS ? ERROR_NOT_ENOUGH_MEMORY : error);
  return nullptr;
}

// Makes the folder (its name in *folder, left empty when none was made) and
// the file in it (*path, *file), and records them for the handler; the error,
// or ERROR_SUCCESS.
DWORD MakeFolderAndFile(const std::string& folderPrefix, const std::string& name, std::string* folder,
                        std::string* path, std::FILE** file) {
  Locked locked;
  const DWORD error = MakeFreshFolder(folderPrefix, folder);
  if (error != ERROR_SUCCESS) {
    folder->clear();
    return error;
  }
  *path = *folder + "\\" + name;
  gFolder = WideFromUtf8(*folder);
  gFilePath = WideFromUtf8(*path);
  *file = CreateStream(gFilePath, &gFile);
  if (*file != nullptr) return ERROR_SUCCESS;
  gFile = nullptr;
  return GetLastError();
}

}  // namespace

PendingOutput::~PendingOutput() { Discard(); }

bool PendingOutput::Create(const std::string& folderPrefix, const std::string& name, unsigned mode,
                           std::string* reason) {
  mode_ = mode;
  // The handler is there before the folder; the system holds its own lock while
  // it calls the handlers, so (un)registering always happens outside gLock.
  SetConsoleCtrlHandler(RemovePendingAndEnd, TRUE);
  const DWORD error = MakeFolderAndFile(folderPrefix, name, &folder_, &path_, &file_);
  if (error == ERROR_SUCCESS) return true;
  *reason = SystemText(error);
  if (folder_.empty()) {
    SetConsoleCtrlHandler(RemovePendingAndEnd, FALSE);
  } else {
    Discard();
  }
  return false;
}

bool PendingOutput::CloseFile() {
  Locked locked;
  const bool closed = file_ == nullptr || std::fclose(file_) == 0;
  file_ = nullptr;
  gFile = nullptr;
  return closed;
}

bool PendingOutput::MoveOver(const std::string& target, std::string* reason) {
  CloseFile();
  Locked locked;
  const std::wstring to = WideFromUtf8(target);
  const auto move = [&to] {
    return MoveFileExW(gFilePath.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
  };
  // Access denied by a folder in the way is no hold that ends.
  const bool moved = IsFolder(to) ? move() : RetryWhileHeld(move);
  if (!moved) {
    *reason = SystemText(GetLastError());
    return false;
  }
  path_.clear();
  gFilePath.clear();
  return true;
}

void PendingOutput::Discard() {
  {
    Locked locked;
    if (file_ != nullptr) std::fclose(file_);
    file_ = nullptr;
    gFile = nullptr;
    if (folder_.empty()) return;
    RemoveFolderWithFiles(gFolder);
    folder_.clear();
    path_.clear();
    gFolder.clear();
    gFilePath.clear();
  }
  SetConsoleCtrlHandler(RemovePendingAndEnd, FALSE);
}

std::string FileNameOf(const std::string& path) {
  const size_t separator = path.find_last_of("/\\:");
  return separator == std::string::npos ? path : path.substr(separator + 1);
}

}  // namespace platform_tool
