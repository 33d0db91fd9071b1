// Windows process id and wait. Only Windows code belongs in platform/win.
#include "platform/process_wait.h"

#include <windows.h>

namespace platform {

uint32_t CurrentProcessId() { return GetCurrentProcessId(); }

ProcessWait WaitForProcessEnd(uint32_t pid) {
  if (pid == 0) return ProcessWait::kNoSuchProcess;
  HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, pid);
  if (process == nullptr) {
    // An id that names no process (any more) gives ERROR_INVALID_PARAMETER.
    return GetLastError() == ERROR_ACCESS_DENIED ? ProcessWait::kFailed : ProcessWait::kNoSuchProcess;
  }
  DWORD result = WaitForSingleObject(process, INFINITE);
  CloseHandle(process);
  return result == WAIT_OBJECT_0 ? ProcessWait::kEnded : ProcessWait::kFailed;
}

}  // namespace platform
