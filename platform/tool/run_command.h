//===- run_command.h - One command line through the system's interpreter ---===//
// For the tools (zvpack's signing command): the command runs through the
// system's command interpreter (sh -c, cmd /c), with the tool's standard
// input and error; its standard output goes to the tool's standard error, so
// that what the tool prints on stdout (a summary, a JSON document) stays its
// own. While it runs, a terminating signal or Ctrl-C meant for the tool is
// passed on to the command and recorded instead of ending the tool: the caller
// removes what it must and then ends itself with EndAsSignalled.
#ifndef VX_PLATFORM_TOOL_RUN_COMMAND_H
#define VX_PLATFORM_TOOL_RUN_COMMAND_H

#include <string>

namespace platform_tool {

struct CommandResult {
  bool started = false;  // false: the interpreter could not be started (see error)
  int exitCode = -1;     // the command's exit code; -1 when a signal ended it
  int endedBy = 0;       // the signal that ended the command, else 0
  int interrupt = 0;     // a signal or Ctrl-C the tool itself received meanwhile, else 0
  std::string error;     // why it did not start
};

CommandResult RunCommandLine(const std::string& commandLine);

// The path quoted for the interpreter RunCommandLine uses, so that a command
// line holding it passes it on as one word.
std::string QuoteForCommandLine(const std::string& path);

// Ends the process as the interrupt recorded in a CommandResult would have.
[[noreturn]] void EndAsSignalled(int interrupt);

// Waits whole seconds (the retry delay).
void SleepSeconds(unsigned seconds);

}  // namespace platform_tool

#endif  // VX_PLATFORM_TOOL_RUN_COMMAND_H
