//===- system_library.h - Libraries from the system folder (internal) ----===//
// Internal to platform/win. Libraries that the executable does not import
// statically are loaded by full path from the system folder, so that no file
// planted beside the program or in the current directory can stand in for them;
// functions that not every system has are looked up in them.
#ifndef VX_PLATFORM_WIN_SYSTEM_LIBRARY_H
#define VX_PLATFORM_WIN_SYSTEM_LIBRARY_H

#include <windows.h>

namespace platform {
namespace internal {

// LoadLibraryA of <system folder>\name; null when it cannot be loaded. The
// library stays loaded for the process's life.
HMODULE LoadSystemLibrary(const char* name);

// The function name of library as a Function pointer, for calls that not every
// system has and that are therefore looked up rather than imported; null when
// the library (null too) or the function is missing.
template <typename Function>
Function FindFunction(HMODULE library, const char* name) {
  FARPROC found = library != nullptr ? GetProcAddress(library, name) : nullptr;
  return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(found));
}

}  // namespace internal
}  // namespace platform

#endif  // VX_PLATFORM_WIN_SYSTEM_LIBRARY_H
