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
constexpr char kHostSystemFolder[] = "C:\\Windows\\system32";

uint32_t CopyTruncated(const char* text, uint32_t length, char* buffer, uint32_t size) {
  if (size == 0) return 0;
  if (length >= size) length = size - 1;
  std::memcpy(buffer, text, length);
  buffer[length] = '\0';
  return length;
}

}  // namespace

uint32_t VX_PLATFORM_ENTRY(GetModulePath)(void* module, char* buffer, uint32_t size) {
  (void)module;
  return CopyTruncated(kHostModulePath, sizeof kHostModulePath - 1, buffer, size);
}

uint32_t GetSystemFolder(char* buffer, uint32_t size) {
  if (size < sizeof kHostSystemFolder) return 0;
  return CopyTruncated(kHostSystemFolder, sizeof kHostSystemFolder - 1, buffer, size);
}

uint32_t VX_PLATFORM_ENTRY(StartCommand)(const char*, uint32_t) { return kWinExecStarted; }

uint32_t VX_PLATFORM_ENTRY(StartProgram)(const char*, const char*, uint32_t) { return 0; }

}  // namespace platform
