// Narrowing the library search of the process. Only Windows code belongs in platform/win.
#include "platform/dll_search.h"

#include "platform/win/system_library.h"

#include <windows.h>

namespace platform {

namespace {

using SetDefaultDllDirectoriesFunction = BOOL(WINAPI*)(DWORD);
constexpr DWORD kSearchSystem32 = 0x00000800;  // LOAD_LIBRARY_SEARCH_SYSTEM32

}  // namespace

void RestrictDllSearchToSystem() {
  // Present from Windows 8 on (and on Windows 7 with its security update); older systems
  // keep the classic order, less the current directory.
  auto setDefaultDirectories = internal::FindFunction<SetDefaultDllDirectoriesFunction>(
      GetModuleHandleA("kernel32.dll"), "SetDefaultDllDirectories");
  if (setDefaultDirectories != nullptr) setDefaultDirectories(kSearchSystem32);
  SetDllDirectoryA("");
}

}  // namespace platform
