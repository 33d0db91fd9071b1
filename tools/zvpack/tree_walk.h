//===- tree_walk.h - The regular files of a host folder tree --------------===//
// What an archive may hold from a host folder: regular files, found through
// symbolic links as the link's own name. Everything else is refused with one
// line naming the host path: a dangling link, a link loop (a link that leads
// back to itself or to a folder that holds it), a FIFO, a socket, a device, a
// folder or file that cannot be read.
#ifndef VX_TOOLS_ZVPACK_TREE_WALK_H
#define VX_TOOLS_ZVPACK_TREE_WALK_H

#include "platform/tool/file_system.h"
#include "tools/zvpack/path_filter.h"

#include <string>
#include <vector>

namespace zvpack {

struct FoundFile {
  std::string relative;  // path below the walked folder, '/'-separated, as the host spells it
  std::string hostPath;  // the path to open (through any links)
};

// The facts of path, following links. On failure false, with a line in
// *error that names path and says what is wrong (a dangling link and its
// target, a link loop, or the system's reason).
bool FactsFollowingLinks(const std::string& path, platform_tool::FileFacts* facts, std::string* error);

// Null for a regular file, else what the file is ("a folder", "a FIFO", ...).
const char* NotRegularKind(const platform_tool::FileFacts& facts);

// Every regular file under dir (which may itself be a link to a folder), in
// no particular order; links to folders are walked. What filter excludes is
// neither read nor examined. Folders below dir that hold no file (at any
// depth) give nothing; the outermost of them go to *emptyFolders (host paths)
// when it is given. On failure false with one line in *error and *files
// unspecified.
bool FindRegularFiles(const std::string& dir, std::vector<FoundFile>* files, std::string* error,
                      const PathFilter* filter = nullptr, std::vector<std::string>* emptyFolders = nullptr);

}  // namespace zvpack

#endif  // VX_TOOLS_ZVPACK_TREE_WALK_H
