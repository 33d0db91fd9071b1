//===- problem_list.h - Several refusals reported in one run --------------===//
// A payload with many bad names is reported whole, so that one run shows all
// that is to be fixed: one line per problem, at most kMaxProblems of them and
// then a line counting the rest.
#ifndef VX_TOOLS_ZVPACK_PROBLEM_LIST_H
#define VX_TOOLS_ZVPACK_PROBLEM_LIST_H

#include <cstddef>
#include <string>

namespace zvpack {

class ProblemList {
 public:
  static constexpr size_t kMaxProblems = 20;

  // line: one problem, or several separated by '\n' (a list's own text).
  void Add(const std::string& line);
  bool Empty() const { return count_ == 0; }
  // The lines, '\n' between them, and "... and N more" past kMaxProblems.
  std::string Text() const;

 private:
  std::string text_;
  size_t count_ = 0;
};

}  // namespace zvpack

#endif  // VX_TOOLS_ZVPACK_PROBLEM_LIST_H
