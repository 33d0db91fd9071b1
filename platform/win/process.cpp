// Windows module name and program start. Only Windows code belongs in
// platform/win.
#include "platform/process.h"

#include "platform/common/wrappable.h"

#include <windows.h>

#include <cstdlib>
#include <cstring>

namespace platform {

uint32_t VX_PLATFORM_ENTRY(GetModulePath)(void* module, char* buffer, uint32_t size) {
  return GetModuleFileNameA(static_cast<HMODULE>(module), buffer, size);
}

uint32_t GetSystemFolder(char* buffer, uint32_t size) {
  const UINT length = GetSystemDirectoryA(buffer, size);
  return length < size ? length : 0;
}

uint32_t VX_PLATFORM_ENTRY(StartCommand)(const char* command, uint32_t show) {
  return WinExec(command, show);
}

uint32_t VX_PLATFORM_ENTRY(StartProgram)(const char* program, const char* commandLine,
                                         uint32_t show) {
  // CreateProcessA may write into the command line while it parses it; it gets a copy.
  const size_t length = std::strlen(commandLine);
  char* writable = static_cast<char*>(std::malloc(length + 1));
  if (writable == nullptr) return ERROR_NOT_ENOUGH_MEMORY;
  std::memcpy(writable, commandLine, length + 1);
  STARTUPINFOA startup;
  std::memset(&startup, 0, sizeof startup);
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = static_cast<WORD>(show);
  PROCESS_INFORMATION started;
  const BOOL ok = CreateProcessA(program, writable, nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                 &startup, &started);
  const DWORD error = ok ? 0 : GetLastError();
  std::free(writable);
  if (!ok) return error != 0 ? error : ERROR_GEN_FAILURE;
  // WinExec returns only once the new program first waits for input (its window is up), or
  // after its time-out; the caller's splash stays until then. Its result does not matter:
  // a program that ended, or has no message queue, is as far as it will get.
  WaitForInputIdle(started.hProcess, kStartedProgramInputWaitMs);
  CloseHandle(started.hThread);
  CloseHandle(started.hProcess);
  return 0;
}

}  // namespace platform
