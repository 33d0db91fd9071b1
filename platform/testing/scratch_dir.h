//===- scratch_dir.h - Temporary folders for tests (tests only) -----------===//
// A fresh folder per test, named in Windows form, with helpers to look at the
// files below it. On the host the folder is C:\TEMP on a drive C that stands
// for a fresh host directory; on Windows it is a new folder in the temporary
// folder (GetTempPathA). The destructor puts the current drive and directory
// back and removes the folder with everything in it.
//
// Only test code includes this header; it is the one place where the tests
// differ between the host and Windows.
#ifndef VX_PLATFORM_TESTING_SCRATCH_DIR_H
#define VX_PLATFORM_TESTING_SCRATCH_DIR_H

#include "platform/dirs.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include "platform/host/drive_map.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace platform_testing {

class ScratchDir {
 public:
  ScratchDir() {
    savedDrive_ = platform::GetDrive();
    char* cwd = platform::GetCwd(nullptr, 0);
    if (cwd != nullptr) {
      savedCwd_ = cwd;
      platform::FreeCwd(cwd);
    }
#ifdef _WIN32
    char temp[MAX_PATH + 1];
    DWORD length = GetTempPathA(sizeof temp, temp);
    static int counter = 0;
    std::string base(temp, length);
    for (int attempt = 0; attempt < 100 && path_.empty(); ++attempt) {
      std::string candidate = base + "vxtest-" + std::to_string(GetCurrentProcessId()) + "-" +
                              std::to_string(++counter);
      if (CreateDirectoryA(candidate.c_str(), nullptr)) path_ = candidate;
    }
#else
    savedDriveC_ = platform::MappedDrive('C');
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string((tmp != nullptr && *tmp != '\0') ? tmp : "/tmp") +
                          "/vx-scratch-XXXXXX";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (mkdtemp(buffer.data()) != nullptr) {
      hostRoot_ = buffer.data();
      // Drive C is the folder "C:" in the host folder, which also becomes the
      // process's own working folder: a file layer that takes "C:\x" as the
      // relative host path "C:/x" then reaches the same file as the drive view.
      std::string drive = hostRoot_ + "/C:";
      char* hostCwd = getcwd(nullptr, 0);
      if (hostCwd != nullptr) {
        savedHostCwd_ = hostCwd;
        std::free(hostCwd);
      }
      if (mkdir(drive.c_str(), 0777) == 0 && chdir(hostRoot_.c_str()) == 0) {
        platform::MapDrive('C', drive);
        platform::ChangeDrive(3);
        if (mkdir((drive + "/TEMP").c_str(), 0777) == 0) path_ = "C:\\TEMP";
      }
    }
#endif
  }

  ~ScratchDir() {
#ifndef _WIN32
    platform::MapDrive('C', savedDriveC_);
    for (char letter : extraLetters_) platform::MapDrive(letter, std::string());
#endif
    // Leave the folder first: Windows does not remove a current directory.
    if (!savedCwd_.empty()) platform::ChangeDir(savedCwd_.c_str());
    platform::ChangeDrive(savedDrive_);
#ifdef _WIN32
    if (!path_.empty()) RemoveTree(path_);
#else
    if (!savedHostCwd_.empty() && chdir(savedHostCwd_.c_str()) != 0) std::perror("chdir");
    if (!hostRoot_.empty()) RemoveTree(hostRoot_);
    for (const std::string& extra : extraRoots_) RemoveTree(extra);
#endif
  }

  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;

  // The folder, without a trailing backslash; empty when it could not be made.
  const std::string& Path() const { return path_; }

  // Lets another drive letter stand for a fresh empty folder, on the host only.
  bool MapExtraDrive(char letter) {
#ifdef _WIN32
    (void)letter;
    return false;
#else
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string((tmp != nullptr && *tmp != '\0') ? tmp : "/tmp") +
                          "/vx-scratch-XXXXXX";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (mkdtemp(buffer.data()) == nullptr) return false;
    extraRoots_.push_back(buffer.data());
    extraLetters_.push_back(letter);
    return platform::MapDrive(letter, buffer.data());
#endif
  }

  // Every file and folder below dir (a Windows path), relative to it, folders
  // with a trailing backslash, sorted.
  static std::vector<std::string> ListTree(const std::string& dir) {
    std::vector<std::string> found;
    List(NativePath(dir), "", &found);
    std::sort(found.begin(), found.end());
    return found;
  }

  static bool ReadFile(const std::string& path, std::string* contents) {
    std::ifstream in(NativePath(path), std::ios::binary);
    if (!in) return false;
    contents->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return true;
  }

  static bool WriteFile(const std::string& path, const std::string& contents) {
    std::ofstream out(NativePath(path), std::ios::binary | std::ios::trunc);
    out.write(contents.data(), static_cast<std::streamsize>(contents.size()));
    return static_cast<bool>(out);
  }

 private:
  static std::string NativePath(const std::string& path) {
#ifdef _WIN32
    return path;
#else
    return platform::HostPath(path.c_str());
#endif
  }

  static void List(const std::string& native, const std::string& prefix,
                   std::vector<std::string>* found) {
#ifdef _WIN32
    WIN32_FIND_DATAA item;
    HANDLE search = FindFirstFileA((native + "\\*").c_str(), &item);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
      std::string name = item.cFileName;
      if (name == "." || name == "..") continue;
      if (item.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        found->push_back(prefix + name + "\\");
        List(native + "\\" + name, prefix + name + "\\", found);
      } else {
        found->push_back(prefix + name);
      }
    } while (FindNextFileA(search, &item));
    FindClose(search);
#else
    DIR* listing = opendir(native.c_str());
    if (listing == nullptr) return;
    while (dirent* item = readdir(listing)) {
      std::string name = item->d_name;
      if (name == "." || name == "..") continue;
      struct stat info;
      std::string child = native + "/" + name;
      if (lstat(child.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
        found->push_back(prefix + name + "\\");
        List(child, prefix + name + "\\", found);
      } else {
        found->push_back(prefix + name);
      }
    }
    closedir(listing);
#endif
  }

  static void RemoveTree(const std::string& native) {
#ifdef _WIN32
    WIN32_FIND_DATAA item;
    HANDLE search = FindFirstFileA((native + "\\*").c_str(), &item);
    if (search != INVALID_HANDLE_VALUE) {
      do {
        std::string name = item.cFileName;
        if (name == "." || name == "..") continue;
        std::string child = native + "\\" + name;
        if (item.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
          RemoveTree(child);
        } else {
          SetFileAttributesA(child.c_str(), FILE_ATTRIBUTE_NORMAL);
          DeleteFileA(child.c_str());
        }
      } while (FindNextFileA(search, &item));
      FindClose(search);
    }
    RemoveDirectoryA(native.c_str());
#else
    DIR* listing = opendir(native.c_str());
    if (listing != nullptr) {
      while (dirent* item = readdir(listing)) {
        std::string name = item->d_name;
        if (name == "." || name == "..") continue;
        std::string child = native + "/" + name;
        struct stat info;
        if (lstat(child.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
          RemoveTree(child);
        } else {
          unlink(child.c_str());
        }
      }
      closedir(listing);
    }
    rmdir(native.c_str());
#endif
  }

  int savedDrive_ = 0;
  std::string savedCwd_;
  std::string path_;
#ifndef _WIN32
  std::string hostRoot_;
  std::string savedDriveC_;
  std::string savedHostCwd_;
  std::vector<std::string> extraRoots_;
  std::vector<char> extraLetters_;
#endif
};

}  // namespace platform_testing

#endif  // VX_PLATFORM_TESTING_SCRATCH_DIR_H
