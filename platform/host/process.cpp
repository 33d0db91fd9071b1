// Host module name and program start. The host runs no Windows program: a start
// is taken as made and nothing runs. Only generic POSIX code belongs in
// platform/host.
#include "platform/process.h"

#include "platform/common/wrappable.h"

#include <cstring>

namespace platform {

namespace {

constexpr char kHostModulePath[] = "C:\\zvsetup.exe";
constexpr uint32_t kWinExecStarted = 33;  // any value above 31

}  // namespace

uint32_t VX_PLATFORM_ENTRY(GetModulePath)(void* module, char* buffer, uint32_t size) {
  (void)module;
  if (size == 0) return 0;
  uint32_t length = sizeof kHostModulePath - 1;
  if (length >= size) length = size - 1;
  std::memcpy(buffer, kHostModulePath, length);
  buffer[length] = '\0';
  return length;
}

uint32_t VX_PLATFORM_ENTRY(StartCommand)(const char*, uint32_t) { return kWinExecStarted; }

uint32_t VX_PLATFORM_ENTRY(StartProgram)(const char*, const char*, uint32_t) { return 0; }

}  // namespace platform
