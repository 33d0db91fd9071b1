// What a planted file does when it is loaded or run: it appends one line to the file that
// VX_PLANTED_LOG names, so that the scenario sees it.
#ifndef VX_TESTS_LAUNCHER_E2E_PLANTED_LOG_H
#define VX_TESTS_LAUNCHER_E2E_PLANTED_LOG_H

#include <windows.h>

#include <cstring>

inline void AppendToPlantedLog(const char* text) {
  char log[MAX_PATH];
  const DWORD length = GetEnvironmentVariableA("VX_PLANTED_LOG", log, sizeof log);
  if (length == 0 || length >= sizeof log) return;
  HANDLE file = CreateFileA(log, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  WriteFile(file, text, static_cast<DWORD>(std::strlen(text)), &written, nullptr);
  WriteFile(file, "\r\n", 2, &written, nullptr);
  CloseHandle(file);
}

#endif  // VX_TESTS_LAUNCHER_E2E_PLANTED_LOG_H
