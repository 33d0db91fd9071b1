// Matching archive paths against the --exclude patterns.
#include "tools/zvpack/path_filter.h"

#include "tools/zvpack/glob_match.h"

#include <algorithm>

namespace zvpack {
namespace {

std::string WithSlashes(std::string path) {
  std::replace(path.begin(), path.end(), '\\', '/');
  return path;
}

}  // namespace

bool PathFilter::Add(const std::string& pattern, std::string* error) {
  std::string slashed = WithSlashes(pattern);
  while (!slashed.empty() && slashed.back() == '/') slashed.pop_back();
  if (slashed.empty()) {
    *error = "--exclude needs a pattern, such as \"*.pdb\" or \".git\"";
    return false;
  }
  patterns_.push_back(slashed);
  return true;
}

bool PathFilter::Excludes(const std::string& relative) const {
  const std::string path = WithSlashes(relative);
  // Each folder on the way and the path itself: a match at any of them leaves the path out.
  for (size_t end = path.find('/');; end = path.find('/', end + 1)) {
    const std::string prefix = path.substr(0, end);
    const size_t slash = prefix.rfind('/');
    const std::string last = slash == std::string::npos ? prefix : prefix.substr(slash + 1);
    for (const std::string& pattern : patterns_) {
      const bool anchored = pattern.find('/') != std::string::npos;
      if (GlobMatches(pattern, anchored ? prefix : last)) return true;
    }
    if (end == std::string::npos) return false;
  }
}

}  // namespace zvpack
