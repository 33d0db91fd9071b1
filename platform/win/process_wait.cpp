// Windows process id and wait. Only Windows code belongs in platform/win.
#include "platform/process_wait.h"

#include <windows.h>

#include <tlhelp32.h>

namespace platform {

uint32_t CurrentProcessId() { return GetCurrentProcessId(); }

uint32_t ParentProcessId() {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return 0;
  PROCESSENTRY32 entry;
  entry.dwSize = sizeof entry;
  uint32_t parent = 0;
  const DWORD self = GetCurrentProcessId();
  for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
    if (entry.th32ProcessID == self) {
      parent = entry.th32ParentProcessID;
      break;
    }
  }
  CloseHandle(snapshot);
  return parent;
}

ProcessWait WaitForProcessEnd(uint32_t pid) { return WaitForProcessEndFor(pid, INFINITE); }

ProcessWait WaitForProcessEndFor(uint32_t pid, uint32_t ms) {
  if (pid == 0) return ProcessWait::kNoSuchProcess;
  HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, pid);
  if (process == nullptr) {
    // An id that names no process (any more) gives ERROR_INVALID_PARAMETER.
    return GetLastError() == ERROR_ACCESS_DENIED ? ProcessWait::kFailed : ProcessWait::kNoSuchProcess;
  }
  DWORD result = WaitForSingleObject(process, ms);
  CloseHandle(process);
  if (result == WAIT_TIMEOUT) return ProcessWait::kTimedOut;
  return result == WAIT_OBJECT_0 ? ProcessWait::kEnded : ProcessWait::kFailed;
}

}  // namespace platform
