//===- dll_search.h - Where the process looks for libraries --------------===//
// A setup program is started from wherever the user saved it, often a
// downloads folder full of other files. Libraries loaded by name must never
// come from there, so the entry function narrows the search first thing.
#ifndef VX_PLATFORM_DLL_SEARCH_H
#define VX_PLATFORM_DLL_SEARCH_H

namespace platform {

// Takes the program's own folder and the current directory out of the search
// for libraries loaded from now on: SetDefaultDllDirectories with the system
// folder only where the system has it (looked up at run time), and
// SetDllDirectoryA(""), which drops the current directory, in any case. The
// host has nothing to narrow.
void RestrictDllSearchToSystem();

}  // namespace platform

#endif  // VX_PLATFORM_DLL_SEARCH_H
