//===- interrupt_exit.h - A Ctrl-C that nothing else handles ends the tool ----===//
// On the host a terminating signal that no handler takes ends the process by
// its default action, which the shell reports. On Windows the system's own
// console handler does so with STATUS_CONTROL_C_EXIT, but Wine's ends the
// process with exit code 0, a failure that reads as success. This installs the
// tool's own last handler: Ctrl-C, Ctrl-Break or the console's closing, when
// no later handler (the pending output, a running command) took it, ends the
// tool with STATUS_CONTROL_C_EXIT on every Windows. Nothing on the host.
// Called once, early in main.
#ifndef VX_PLATFORM_TOOL_INTERRUPT_EXIT_H
#define VX_PLATFORM_TOOL_INTERRUPT_EXIT_H

namespace platform_tool {

void EndOnUnhandledInterrupt();

}  // namespace platform_tool

#endif  // VX_PLATFORM_TOOL_INTERRUPT_EXIT_H
