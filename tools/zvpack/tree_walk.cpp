// Walking a host folder tree for the files of an archive.
#include "tools/zvpack/tree_walk.h"

#include <dirent.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>

namespace zvpack {
namespace {

using FolderId = std::pair<dev_t, ino_t>;

FolderId IdOf(const struct stat& info) { return FolderId(info.st_dev, info.st_ino); }

std::string LinkTarget(const std::string& path) {
  char target[4096];
  ssize_t length = readlink(path.c_str(), target, sizeof target);
  return length < 0 ? std::string("?") : std::string(target, static_cast<size_t>(length));
}

class Walker {
 public:
  Walker(std::vector<FoundFile>* files, std::string* error, const PathFilter* filter,
         std::vector<std::string>* emptyFolders)
      : files_(files), error_(error), filter_(filter), emptyFolders_(emptyFolders) {}

  // Walks the folder hostDir (whose stat is info) found at relative; viaLink
  // is set when hostDir itself is a symbolic link.
  bool Walk(const std::string& hostDir, const std::string& relative, const struct stat& info, bool viaLink) {
    std::vector<std::string> names;
    if (!ReadNames(hostDir, &names)) return false;
    open_.push_back(OpenFolder{IdOf(info), viaLink ? hostDir : std::string()});
    for (const std::string& name : names) {
      const std::string path = hostDir + "/" + name;
      const std::string below = relative.empty() ? name : relative + "/" + name;
      if (filter_ != nullptr && filter_->Excludes(below)) continue;
      struct stat item;
      if (!StatFollowingLinks(path, &item, error_)) return false;
      if (S_ISDIR(item.st_mode)) {
        if (IsOpen(item, path)) return false;
        const size_t before = files_->size();
        if (!Walk(path, below, item, IsLink(path))) return false;
        if (files_->size() == before) NoteEmpty(path);
      } else if (const char* kind = NotRegularKind(item)) {
        *error_ = path + ": " + kind + ", not a regular file";
        return false;
      } else {
        files_->push_back(FoundFile{below, path});
      }
    }
    open_.pop_back();
    return true;
  }

 private:
  struct OpenFolder {
    FolderId id;
    std::string link;  // the path of the link it was entered through, or empty
  };

  // Keeps the outermost empty folder only: its empty subfolders were noted first.
  void NoteEmpty(const std::string& path) {
    if (emptyFolders_ == nullptr) return;
    const std::string inside = path + "/";
    emptyFolders_->erase(std::remove_if(emptyFolders_->begin(), emptyFolders_->end(),
                                        [&](const std::string& p) { return p.compare(0, inside.size(), inside) == 0; }),
                         emptyFolders_->end());
    emptyFolders_->push_back(path);
  }

  static bool IsLink(const std::string& path) {
    struct stat info;
    return lstat(path.c_str(), &info) == 0 && S_ISLNK(info.st_mode);
  }

  // True, with the error, when the folder at path is one being walked: then
  // the first link entered since that folder closes a loop.
  bool IsOpen(const struct stat& info, const std::string& path) {
    auto open = std::find_if(open_.begin(), open_.end(), [&](const OpenFolder& f) { return f.id == IdOf(info); });
    if (open == open_.end()) return false;
    auto link = std::find_if(open + 1, open_.end(), [](const OpenFolder& f) { return !f.link.empty(); });
    *error_ = (link != open_.end() ? link->link : path) +
              ": a symbolic link loop (it leads back to a folder that holds it)";
    return true;
  }

  bool ReadNames(const std::string& hostDir, std::vector<std::string>* names) {
    DIR* listing = opendir(hostDir.c_str());
    if (listing == nullptr) {
      *error_ = hostDir + ": " + std::strerror(errno);
      return false;
    }
    errno = 0;
    while (const dirent* item = readdir(listing)) {
      if (std::strcmp(item->d_name, ".") != 0 && std::strcmp(item->d_name, "..") != 0) names->push_back(item->d_name);
    }
    const int readError = errno;
    closedir(listing);
    if (readError != 0) {
      *error_ = hostDir + ": " + std::strerror(readError);
      return false;
    }
    return true;
  }

  std::vector<FoundFile>* files_;
  std::string* error_;
  const PathFilter* filter_;
  std::vector<std::string>* emptyFolders_;
  std::vector<OpenFolder> open_;  // the folders being walked, outermost first
};

}  // namespace

bool StatFollowingLinks(const std::string& path, struct stat* info, std::string* error) {
  if (stat(path.c_str(), info) == 0) return true;
  const int statError = errno;
  struct stat link;
  if (lstat(path.c_str(), &link) == 0 && S_ISLNK(link.st_mode)) {
    if (statError == ELOOP) {
      *error = path + ": a symbolic link loop";
      return false;
    }
    if (statError == ENOENT) {
      *error = path + ": a dangling symbolic link (to " + LinkTarget(path) + ")";
      return false;
    }
  }
  *error = path + ": " + std::strerror(statError);
  return false;
}

const char* NotRegularKind(const struct stat& info) {
  if (S_ISREG(info.st_mode)) return nullptr;
  if (S_ISDIR(info.st_mode)) return "a folder";
  if (S_ISFIFO(info.st_mode)) return "a FIFO";
  if (S_ISSOCK(info.st_mode)) return "a socket";
  if (S_ISCHR(info.st_mode) || S_ISBLK(info.st_mode)) return "a device";
  return "an unknown kind of file";
}

bool FindRegularFiles(const std::string& dir, std::vector<FoundFile>* files, std::string* error,
                      const PathFilter* filter, std::vector<std::string>* emptyFolders) {
  struct stat info;
  if (!StatFollowingLinks(dir, &info, error)) return false;
  if (!S_ISDIR(info.st_mode)) {
    *error = dir + ": not a folder";
    return false;
  }
  files->clear();
  return Walker(files, error, filter, emptyFolders).Walk(dir, "", info, false);
}

}  // namespace zvpack
