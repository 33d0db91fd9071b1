//===- system_path.h - UTF-8 paths for the wide file calls (internal) -----===//
// Internal to platform/tool/win/: the form in which the file calls get a path.
// A path is made absolute (against the current folder), its "." and ".."
// resolved, and it is handed over behind "\\?\": so the names a folder listing
// gives are the files themselves even where they read as DOS devices ("con",
// "aux.txt"; such files come from other systems, Wine's Unix side among them),
// and no 260-character limit applies. A drive-relative path ("C:x") and one
// already in a system form ("\\?\", "\\.\") pass as they are.
#ifndef VX_PLATFORM_TOOL_WIN_SYSTEM_PATH_H
#define VX_PLATFORM_TOOL_WIN_SYSTEM_PATH_H

#include <string>

namespace platform_tool {

std::wstring SystemPath(const std::string& utf8Path);

// Where the folders of a SystemPath begin: the length of its root ("\\?\C:\",
// "\\?\UNC\server\share\").
size_t SystemPathRootLength(const std::wstring& systemPath);

}  // namespace platform_tool

#endif  // VX_PLATFORM_TOOL_WIN_SYSTEM_PATH_H
