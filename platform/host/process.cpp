// Host module name and program start: nothing is started, the command is kept
// for tests. Only generic POSIX code belongs in platform/host.
#include "platform/process.h"

#include "platform/common/test_overrides.h"

namespace platform {

uint32_t GetModulePath(void* module, char* buffer, uint32_t size) {
  (void)module;
  const char* path = internal::ModulePathOverride();
  return internal::CopyAsModulePath(path != nullptr ? path : "C:\\zvsetup.exe", size, buffer);
}

uint32_t StartCommand(const char* command, uint32_t show) {
  return internal::RecordCommand(command, show);
}

uint32_t StartProgram(const char* program, const char* commandLine, uint32_t show) {
  return internal::RecordProgramStart(program, commandLine, show);
}

}  // namespace platform
