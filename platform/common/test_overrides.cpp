// The state behind the test seams of disk.h and process.h. Texts are kept in
// blocks of their own from the C heap, so that the product carries no string
// library for them.
#include "platform/common/test_overrides.h"

#include "platform/dirs.h"
#include "platform/disk.h"
#include "platform/process.h"

#include <cstdlib>
#include <cstring>

namespace platform {

namespace {

// A kept text: null stands for "none", and reads as empty.
class KeptText {
 public:
  void Set(const char* text) {
    std::free(text_);
    text_ = nullptr;
    if (text == nullptr) return;
    const size_t size = std::strlen(text) + 1;
    text_ = static_cast<char*>(std::malloc(size));
    if (text_ != nullptr) std::memcpy(text_, text, size);
  }
  const char* Get() const { return text_ != nullptr ? text_ : ""; }
  const char* GetOrNull() const { return text_; }

 private:
  char* text_ = nullptr;
};

KeptText tempOverride;
bool freeOverridden = false;
double freeOverride = 0.0;
KeptText moduleOverride;
bool recording = false;
KeptText lastCommand;
KeptText lastProgram;
KeptText lastCommandDir;
int commandCount = 0;
uint32_t lastShow = 0;
uint32_t programStartError = 0;

void Keep(const char* program, const char* command, uint32_t show) {
  lastProgram.Set(program);
  lastCommand.Set(command != nullptr ? command : "");
  char* dir = GetCwd(nullptr, 0);
  lastCommandDir.Set(dir);
  FreeCwd(dir);
  lastShow = show;
  ++commandCount;
}

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

const char* TempFolderOverride() { return tempOverride.GetOrNull(); }

bool FreeBytesOverride(double* freeBytes) {
  if (freeOverridden) *freeBytes = freeOverride;
  return freeOverridden;
}

const char* ModulePathOverride() { return moduleOverride.GetOrNull(); }

bool RecordingCommands() { return recording; }

uint32_t RecordCommand(const char* command, uint32_t show) {
  Keep(nullptr, command, show);
  return 33;
}

uint32_t RecordProgramStart(const char* program, const char* commandLine, uint32_t show) {
  if (programStartError != 0) return programStartError;
  Keep(program, commandLine, show);
  return 0;
}

}  // namespace internal

void SetTempFolderForTesting(const char* path) { tempOverride.Set(path); }

void SetDriveFreeBytesForTesting(double freeBytes) {
  freeOverridden = true;
  freeOverride = freeBytes;
}

void ClearDriveFreeBytesForTesting() { freeOverridden = false; }

void SetModulePathForTesting(const char* path) { moduleOverride.Set(path); }

void RecordCommandsForTesting(bool record) {
  recording = record;
  lastCommand.Set(nullptr);
  lastProgram.Set(nullptr);
  lastCommandDir.Set(nullptr);
  commandCount = 0;
  lastShow = 0;
  programStartError = 0;
}

const char* LastCommandForTesting() { return lastCommand.Get(); }
const char* LastProgramForTesting() { return lastProgram.Get(); }
const char* LastCommandDirForTesting() { return lastCommandDir.Get(); }
int CommandCountForTesting() { return commandCount; }
uint32_t LastShowForTesting() { return lastShow; }
void FailProgramStartsForTesting(uint32_t error) { programStartError = error; }

}  // namespace platform
