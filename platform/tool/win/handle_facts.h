//===- handle_facts.h - FileFacts of an open handle (internal) ------------===//
// Internal to platform/tool/win/: what GetFileInformationByHandle and
// GetFileType tell of an open file or folder.
#ifndef VX_PLATFORM_TOOL_WIN_HANDLE_FACTS_H
#define VX_PLATFORM_TOOL_WIN_HANDLE_FACTS_H

#include "platform/tool/file_system.h"

#include <windows.h>

namespace platform_tool {

// False, with the error in GetLastError(), when the system tells nothing.
bool FactsOfHandle(HANDLE handle, FileFacts* facts);

}  // namespace platform_tool

#endif  // VX_PLATFORM_TOOL_WIN_HANDLE_FACTS_H
