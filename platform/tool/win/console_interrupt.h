//===- console_interrupt.h - How a console tool ends on Ctrl-C (internal) ----===//
#ifndef VX_PLATFORM_TOOL_WIN_CONSOLE_INTERRUPT_H
#define VX_PLATFORM_TOOL_WIN_CONSOLE_INTERRUPT_H

#include <windows.h>

namespace platform_tool {

// STATUS_CONTROL_C_EXIT: the exit code of a console program that Ctrl-C ended,
// what the system's own handler gives and a shell reports.
constexpr UINT kCtrlCExitCode = 0xC000013Au;

}  // namespace platform_tool

#endif  // VX_PLATFORM_TOOL_WIN_CONSOLE_INTERRUPT_H
