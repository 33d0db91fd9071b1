//===- path_filter.h - The --exclude patterns of create and setup ---------===//
// Patterns are shell globs ('*', '?', '[...]') matched against a path inside
// the archive, '/' or '\' between folders, ignoring the case of ASCII letters
// as Windows ignores it. '*' and '?' never match a separator.
//   - A pattern without a separator matches a file or folder of that name at
//     any depth: "Thumbs.db", ".git", "*.pdb".
//   - A pattern with one is matched from the archive's top: "Docs/*/draft.rtf".
// A matching folder is left out with everything below it, unread.
#ifndef VX_TOOLS_ZVPACK_PATH_FILTER_H
#define VX_TOOLS_ZVPACK_PATH_FILTER_H

#include <string>
#include <vector>

namespace zvpack {

class PathFilter {
 public:
  // False, with one line in *error, for an empty pattern.
  bool Add(const std::string& pattern, std::string* error);
  bool Empty() const { return patterns_.empty(); }
  // relative: a path inside the archive, '/' or '\' between folders.
  bool Excludes(const std::string& relative) const;

 private:
  std::vector<std::string> patterns_;  // '/' between folders
};

}  // namespace zvpack

#endif  // VX_TOOLS_ZVPACK_PATH_FILTER_H
