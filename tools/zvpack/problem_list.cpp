// Gathering refusals up to a readable number.
#include "tools/zvpack/problem_list.h"

namespace zvpack {

void ProblemList::Add(const std::string& line) {
  size_t start = 0;
  while (start <= line.size()) {
    size_t end = line.find('\n', start);
    if (end == std::string::npos) end = line.size();
    const std::string one = line.substr(start, end - start);
    // A list's own "... and N more" line is counted as what it stands for.
    if (one.compare(0, 8, "... and ") == 0) {
      count_ += std::stoul(one.substr(8)) - 1;
    } else if (count_ < kMaxProblems) {
      text_ += (text_.empty() ? "" : "\n") + one;
    }
    ++count_;
    start = end + 1;
  }
}

std::string ProblemList::Text() const {
  if (count_ <= kMaxProblems) return text_;
  return text_ + "\n... and " + std::to_string(count_ - kMaxProblems) + " more";
}

}  // namespace zvpack
