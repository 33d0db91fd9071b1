//===- terminal.h - Whether standard error is a terminal ------------------===//
// The tools redraw a progress line with "\r" and "\033[K" where standard
// error is a terminal, and print plain lines elsewhere.
#ifndef VX_PLATFORM_TOOL_TERMINAL_H
#define VX_PLATFORM_TOOL_TERMINAL_H

namespace platform_tool {

// Whether standard error is a terminal that redraws a line: on Windows a
// console that takes the escape sequences, switched on here for the tool's
// lifetime (consoles before Windows 10 have none and get plain lines).
bool StderrIsTerminal();

}  // namespace platform_tool

#endif  // VX_PLATFORM_TOOL_TERMINAL_H
