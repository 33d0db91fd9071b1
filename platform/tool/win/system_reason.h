//===- system_reason.h - Win32 errors in the host's words (internal) ------===//
// Internal to platform/tool/win/: the tools word a failure as the host's
// strerror() does ("No such file or directory"), so that zvpack's messages are
// the same on both systems. Errors without a C library counterpart keep the
// system's own text.
#ifndef VX_PLATFORM_TOOL_WIN_SYSTEM_REASON_H
#define VX_PLATFORM_TOOL_WIN_SYSTEM_REASON_H

#include "platform/tool/file_system.h"

#include <windows.h>

#include <string>

namespace platform_tool {

std::string ReasonOf(DWORD error);

// The system's own text of error (FormatMessage), without its closing full stop
// and line end; "error N" when the system has none.
std::string SystemText(DWORD error);

// The failure of a call that left error in GetLastError().
FileFailure FailureOf(DWORD error);

}  // namespace platform_tool

#endif  // VX_PLATFORM_TOOL_WIN_SYSTEM_REASON_H
