// What a planted file does when it is loaded or run: it appends one line to the file that
// VX_PLANTED_LOG names, so that the scenario sees it. Timed scenarios log moments the same
// way, to the file that VX_E2E_TIMES names.
#ifndef VX_TESTS_LAUNCHER_E2E_PLANTED_LOG_H
#define VX_TESTS_LAUNCHER_E2E_PLANTED_LOG_H

#include <windows.h>

#include <cstring>

// Appends text and CR LF to the file that the environment variable names; nothing when it
// is not set.
inline void AppendToLogOf(const char* variable, const char* text) {
  char log[MAX_PATH];
  const DWORD length = GetEnvironmentVariableA(variable, log, sizeof log);
  if (length == 0 || length >= sizeof log) return;
  HANDLE file = CreateFileA(log, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  WriteFile(file, text, static_cast<DWORD>(std::strlen(text)), &written, nullptr);
  WriteFile(file, "\r\n", 2, &written, nullptr);
  CloseHandle(file);
}

inline void AppendToPlantedLog(const char* text) { AppendToLogOf("VX_PLANTED_LOG", text); }

// "<what> <tick>" with the system's millisecond tick, which every process of the session
// shares, to the file of VX_E2E_TIMES.
inline void LogMoment(const char* what) {
  char line[64];
  wsprintfA(line, "%s %lu", what, static_cast<unsigned long>(GetTickCount()));
  AppendToLogOf("VX_E2E_TIMES", line);
}

#endif  // VX_TESTS_LAUNCHER_E2E_PLANTED_LOG_H
