//===- arguments.h - The tool's command-line words in UTF-8 ---------------===//
// The tools hold every text in UTF-8. On Windows main's argv is in the ANSI
// code page, which cannot spell every file name, so the words are read again
// from the wide command line; on the host argv is taken as it is.
#ifndef VX_PLATFORM_TOOL_ARGUMENTS_H
#define VX_PLATFORM_TOOL_ARGUMENTS_H

#include <string>
#include <vector>

namespace platform_tool {

class ProgramWords {
 public:
  // argc and argv: main's; used as they are on the host, and on Windows when
  // the wide command line cannot be read.
  ProgramWords(int argc, char** argv);
  ProgramWords(const ProgramWords&) = delete;
  ProgramWords& operator=(const ProgramWords&) = delete;

  int Count() const { return static_cast<int>(pointers_.size()) - 1; }
  // Count() words, the program's name first, then a null pointer, as argv;
  // valid while this object lives.
  char** Words() { return pointers_.data(); }

 private:
  std::vector<std::string> words_;  // the copies that pointers_ name, where there are any
  std::vector<char*> pointers_;
};

}  // namespace platform_tool

#endif  // VX_PLATFORM_TOOL_ARGUMENTS_H
