// File facts, links, folder listings and the current folder over POSIX calls.
#include "platform/tool/file_system.h"

#include "platform/tool/host/stat_facts.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

namespace platform_tool {

bool GetFileFacts(const std::string& path, FileFacts* facts, FileFailure* failure) {
  struct stat info;
  if (stat(path.c_str(), &info) != 0) {
    *failure = FailureFromErrno(errno);
    return false;
  }
  *facts = FactsFromStat(info);
  return true;
}

bool IsSymbolicLink(const std::string& path) {
  struct stat info;
  return lstat(path.c_str(), &info) == 0 && S_ISLNK(info.st_mode);
}

bool ReadLinkTarget(const std::string& path, std::string* target) {
  char text[4096];
  const ssize_t length = readlink(path.c_str(), text, sizeof text);
  if (length < 0) return false;
  target->assign(text, static_cast<size_t>(length));
  return true;
}

bool ListFolder(const std::string& path, std::vector<std::string>* names, std::string* reason) {
  DIR* listing = opendir(path.c_str());
  if (listing == nullptr) {
    *reason = std::strerror(errno);
    return false;
  }
  errno = 0;
  while (const dirent* item = readdir(listing)) {
    if (std::strcmp(item->d_name, ".") != 0 && std::strcmp(item->d_name, "..") != 0) names->push_back(item->d_name);
  }
  const int readError = errno;
  closedir(listing);
  if (readError != 0) *reason = std::strerror(readError);
  return readError == 0;
}

bool MakeFolders(const std::string& path) {
  std::error_code ec;
  std::filesystem::create_directories(path, ec);
  return std::filesystem::is_directory(path, ec);
}

bool RemoveFile(const std::string& path) { return unlink(path.c_str()) == 0; }

std::string AbsolutePath(const std::string& path) {
  std::error_code ec;
  std::string absolute = std::filesystem::absolute(path, ec).string();
  return ec ? std::string() : absolute;
}

std::string CurrentFolder() {
  std::error_code ec;
  std::string current = std::filesystem::current_path(ec).string();
  return ec ? std::string() : current;
}

bool SetCurrentFolder(const std::string& path) { return chdir(path.c_str()) == 0; }

bool IsAbsolutePath(const std::string& path) { return !path.empty() && path[0] == '/'; }

std::string ParentFolder(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? "." : path.substr(0, slash == 0 ? 1 : slash);
}

}  // namespace platform_tool
