// The state behind the test seams of disk.h and process.h.
#include "platform/common/test_overrides.h"

#include "platform/dirs.h"
#include "platform/disk.h"
#include "platform/process.h"

#include <cstring>
#include <string>

namespace platform {

namespace {

bool tempOverridden = false;
std::string tempOverride;
bool freeOverridden = false;
double freeOverride = 0.0;
bool moduleOverridden = false;
std::string moduleOverride;
bool recording = false;
std::string lastCommand;
std::string lastCommandDir;
int commandCount = 0;
uint32_t lastShow = 0;

}  // namespace

namespace internal {

uint32_t CopyAsTempPath(const char* text, uint32_t size, char* buffer) {
  uint32_t length = static_cast<uint32_t>(std::strlen(text));
  if (length + 1 > size) return length + 1;
  std::memcpy(buffer, text, length + 1);
  return length;
}

uint32_t CopyAsModulePath(const char* text, uint32_t size, char* buffer) {
  if (size == 0) return 0;
  uint32_t length = static_cast<uint32_t>(std::strlen(text));
  if (length >= size) length = size - 1;
  std::memcpy(buffer, text, length);
  buffer[length] = '\0';
  return length;
}

const char* TempFolderOverride() { return tempOverridden ? tempOverride.c_str() : nullptr; }

bool FreeBytesOverride(double* freeBytes) {
  if (freeOverridden) *freeBytes = freeOverride;
  return freeOverridden;
}

const char* ModulePathOverride() { return moduleOverridden ? moduleOverride.c_str() : nullptr; }

bool RecordingCommands() { return recording; }

uint32_t RecordCommand(const char* command, uint32_t show) {
  lastCommand = command != nullptr ? command : "";
  char* dir = GetCwd(nullptr, 0);
  lastCommandDir = dir != nullptr ? dir : "";
  FreeCwd(dir);
  lastShow = show;
  ++commandCount;
  return 33;
}

}  // namespace internal

void SetTempFolderForTesting(const char* path) {
  tempOverridden = path != nullptr;
  tempOverride = path != nullptr ? path : "";
}

void SetDriveFreeBytesForTesting(double freeBytes) {
  freeOverridden = true;
  freeOverride = freeBytes;
}

void ClearDriveFreeBytesForTesting() { freeOverridden = false; }

void SetModulePathForTesting(const char* path) {
  moduleOverridden = path != nullptr;
  moduleOverride = path != nullptr ? path : "";
}

void RecordCommandsForTesting(bool record) {
  recording = record;
  lastCommand.clear();
  lastCommandDir.clear();
  commandCount = 0;
  lastShow = 0;
}

const char* LastCommandForTesting() { return lastCommand.c_str(); }
const char* LastCommandDirForTesting() { return lastCommandDir.c_str(); }
int CommandCountForTesting() { return commandCount; }
uint32_t LastShowForTesting() { return lastShow; }

}  // namespace platform
