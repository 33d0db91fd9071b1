// A stand-in for a system library, planted beside the launcher by the DLL-planting scenario.
// When any process loads it, it appends its own name to the file that VX_PLANTED_LOG names,
// so the test sees every load. It also offers timeGetTime, so that a program importing winmm
// would start with it and the load would show.
#include <windows.h>

#include <cstring>

namespace {

void RecordLoad(HINSTANCE self) {
  char log[MAX_PATH];
  const DWORD length = GetEnvironmentVariableA("VX_PLANTED_LOG", log, sizeof log);
  if (length == 0 || length >= sizeof log) return;
  char name[MAX_PATH];
  const DWORD nameLength = GetModuleFileNameA(self, name, sizeof name - 2);
  if (nameLength == 0) return;
  name[nameLength] = '\r';
  name[nameLength + 1] = '\n';
  HANDLE file = CreateFileA(log, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  WriteFile(file, name, nameLength + 2, &written, nullptr);
  CloseHandle(file);
}

}  // namespace

extern "C" __declspec(dllexport) DWORD WINAPI timeGetTime() { return GetTickCount(); }

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) RecordLoad(self);
  return TRUE;
}
