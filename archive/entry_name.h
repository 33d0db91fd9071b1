//===- entry_name.h - Which archive entry names may be unpacked -----------===//
// An entry name is joined to the work folder as it stands, so only a plain
// relative path may be unpacked: one that names a file strictly inside the
// work folder, by the same name on every Windows file system, without reaching
// a device.
#ifndef VX_ARCHIVE_ENTRY_NAME_H
#define VX_ARCHIVE_ENTRY_NAME_H

#include <cstddef>

// True when the length bytes at name (NULs included, no terminator needed) are
// backslash-separated components, each of them
//  - not empty (so no leading, trailing or doubled backslash) and not "." or "..";
//  - free of control characters (0x00-0x1F) and of / : * ? " < > |, so no
//    drive, forward slash, stream name or wildcard;
//  - not ending in a dot or a blank, which Windows drops from names;
//  - not a device name (CON, PRN, AUX, NUL, CONIN$, CONOUT$, CLOCK$, COM0-9,
//    LPT0-9 and COM/LPT with a superscript digit), with or without an
//    extension, in any case.
bool IsPlainEntryName(const char* name, size_t length);

#endif  // VX_ARCHIVE_ENTRY_NAME_H
