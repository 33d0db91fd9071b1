//===- help_text.h - zvpack's help: the summary and each command's own ----===//
// The README's zvpack section says the same; the two are kept in step.
#ifndef VX_TOOLS_ZVPACK_HELP_TEXT_H
#define VX_TOOLS_ZVPACK_HELP_TEXT_H

#include <string>

namespace zvpack {

// zvpack's own version and the libraries' it was built with, in one line.
std::string VersionLine();

// Every command in one line each, the common options and the exit codes.
extern const char kSummaryHelp[];

// The help of one command; null for a name that is no command.
const char* CommandHelp(const std::string& command);

}  // namespace zvpack

#endif  // VX_TOOLS_ZVPACK_HELP_TEXT_H
