//===- script_path.h - Paths as the clean-up script's lines carry them ----===//
// cmd reads a batch file in the OEM code page, expands every percent sign and
// splits a command at blanks and at & | < > ( ) ^ , ; =. A path made only of
// other printable ASCII characters goes into its line as it is; any other is
// made safe, best first: its short form when that is ASCII, else the text in
// the OEM code page when it converts there and back unchanged, else as it is;
// then percent signs are doubled and the path is put between double quotes
// when it holds a character that would split the command. So every path that
// the launcher itself can make (letters, digits, \ : . _ - and the like) stays
// byte for byte as it is.
#ifndef VX_LAUNCHER_SCRIPT_PATH_H
#define VX_LAUNCHER_SCRIPT_PATH_H

#include "string/vx_string.h"

// text with every percent sign doubled: the literal part of a format pattern,
// and a path as a batch line reads it back.
VxString EscapePercents(const char* text);

// True when path can stand unquoted and unconverted in a batch line.
bool IsPlainBatchPath(const char* path);

// path as a line of the script names it. For a path that does not exist yet
// the short form of its longest existing leading part is taken.
VxString BatchPath(const char* path);

#endif  // VX_LAUNCHER_SCRIPT_PATH_H
