// Walking a host folder tree for the files of an archive.
#include "tools/zvpack/tree_walk.h"

#include <algorithm>

namespace zvpack {
namespace {

using platform_tool::FileFacts;
using platform_tool::FileKind;

std::string LinkTarget(const std::string& path) {
  std::string target;
  return platform_tool::ReadLinkTarget(path, &target) ? target : std::string("?");
}

class Walker {
 public:
  Walker(std::vector<FoundFile>* files, std::string* error, const PathFilter* filter,
         std::vector<std::string>* emptyFolders)
      : files_(files), error_(error), filter_(filter), emptyFolders_(emptyFolders) {}

  // Walks the folder hostDir (whose facts are info) found at relative; viaLink
  // is set when hostDir itself is a symbolic link.
  bool Walk(const std::string& hostDir, const std::string& relative, const FileFacts& info, bool viaLink) {
    std::vector<std::string> names;
    std::string reason;
    if (!platform_tool::ListFolder(hostDir, &names, &reason)) {
      *error_ = hostDir + ": " + reason;
      return false;
    }
    open_.push_back(OpenFolder{info.identity, viaLink ? hostDir : std::string()});
    for (const std::string& name : names) {
      const std::string path = hostDir + "/" + name;
      const std::string below = relative.empty() ? name : relative + "/" + name;
      if (filter_ != nullptr && filter_->Excludes(below)) continue;
      FileFacts item;
      if (!FactsFollowingLinks(path, &item, error_)) return false;
      if (item.kind == FileKind::kFolder) {
        if (IsOpen(item, path)) return false;
        const size_t before = files_->size();
        if (!Walk(path, below, item, platform_tool::IsSymbolicLink(path))) return false;
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
    platform_tool::FileIdentity id;
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

  // True, with the error, when the folder at path is one being walked: then
  // the first link entered since that folder closes a loop.
  bool IsOpen(const FileFacts& info, const std::string& path) {
    auto open = std::find_if(open_.begin(), open_.end(), [&](const OpenFolder& f) { return f.id == info.identity; });
    if (open == open_.end()) return false;
    auto link = std::find_if(open + 1, open_.end(), [](const OpenFolder& f) { return !f.link.empty(); });
    *error_ = (link != open_.end() ? link->link : path) +
              ": a symbolic link loop (it leads back to a folder that holds it)";
    return true;
  }

  std::vector<FoundFile>* files_;
  std::string* error_;
  const PathFilter* filter_;
  std::vector<std::string>* emptyFolders_;
  std::vector<OpenFolder> open_;  // the folders being walked, outermost first
};

}  // namespace

bool FactsFollowingLinks(const std::string& path, FileFacts* facts, std::string* error) {
  platform_tool::FileFailure failure;
  if (platform_tool::GetFileFacts(path, facts, &failure)) return true;
  if (failure.problem != platform_tool::FileProblem::kOther && platform_tool::IsSymbolicLink(path)) {
    if (failure.problem == platform_tool::FileProblem::kLinkLoop) {
      *error = path + ": a symbolic link loop";
    } else {
      *error = path + ": a dangling symbolic link (to " + LinkTarget(path) + ")";
    }
    return false;
  }
  *error = path + ": " + failure.reason;
  return false;
}

const char* NotRegularKind(const FileFacts& facts) {
  switch (facts.kind) {
    case FileKind::kRegular:
      return nullptr;
    case FileKind::kFolder:
      return "a folder";
    case FileKind::kFifo:
      return "a FIFO";
    case FileKind::kSocket:
      return "a socket";
    case FileKind::kDevice:
      return "a device";
    case FileKind::kOther:
      break;
  }
  return "an unknown kind of file";
}

bool FindRegularFiles(const std::string& dir, std::vector<FoundFile>* files, std::string* error,
                      const PathFilter* filter, std::vector<std::string>* emptyFolders) {
  FileFacts info;
  if (!FactsFollowingLinks(dir, &info, error)) return false;
  if (info.kind != FileKind::kFolder) {
    *error = dir + ": not a folder";
    return false;
  }
  files->clear();
  return Walker(files, error, filter, emptyFolders).Walk(dir, "", info, false);
}

}  // namespace zvpack
