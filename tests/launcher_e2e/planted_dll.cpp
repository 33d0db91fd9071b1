// A stand-in for a system library, planted beside the launcher by the DLL-planting scenario.
// When any process loads it, it logs its own name (planted_log.h), so the test sees every
// load. It also offers timeGetTime, so that a program importing winmm would start with it
// and the load would show.
#include "tests/launcher_e2e/planted_log.h"

#include <windows.h>

extern "C" __declspec(dllexport) DWORD WINAPI timeGetTime() { return GetTickCount(); }

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID) {
  if (reason != DLL_PROCESS_ATTACH) return TRUE;
  char name[MAX_PATH];
  const DWORD length = GetModuleFileNameA(self, name, sizeof name);
  if (length > 0 && length < sizeof name) AppendToPlantedLog(name);
  return TRUE;
}
