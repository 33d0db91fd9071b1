// Windows module name and program start. Only Windows code belongs in
// platform/win.
#include "platform/process.h"

#include "platform/common/test_overrides.h"

#include <windows.h>

namespace platform {

uint32_t GetModulePath(void* module, char* buffer, uint32_t size) {
  const char* path = internal::ModulePathOverride();
  if (path != nullptr) return internal::CopyAsModulePath(path, size, buffer);
  return GetModuleFileNameA(static_cast<HMODULE>(module), buffer, size);
}

uint32_t StartCommand(const char* command, uint32_t show) {
  if (internal::RecordingCommands()) return internal::RecordCommand(command, show);
  return WinExec(command, show);
}

}  // namespace platform
