// The program-start calls of the test platform library: kept instead of made
// while recording.
#include "platform/testing/process_recorder.h"

#include "platform/dirs.h"
#include "platform/process.h"
#include "platform/testing/kept_text.h"
#include "platform/testing/real_calls.h"

#include <cstring>

namespace platform {
namespace {

using testing_internal::KeptText;

constexpr uint32_t kWinExecStarted = 33;  // any value above 31

KeptText moduleOverride;
bool recording = false;
KeptText lastCommand;
KeptText lastProgram;
KeptText lastCommandDir;
int commandCount = 0;
uint32_t lastShow = 0;
uint32_t programStartError = 0;
int programStartFailures = 0;  // negative: every start
int programStartTries = 0;

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

void RecordCommandsForTesting(bool record) {
  recording = record;
  lastCommand.Set(nullptr);
  lastProgram.Set(nullptr);
  lastCommandDir.Set(nullptr);
  commandCount = 0;
  lastShow = 0;
  programStartError = 0;
  programStartTries = 0;
}

const char* LastCommandForTesting() { return lastCommand.Get(); }
const char* LastProgramForTesting() { return lastProgram.Get(); }
const char* LastCommandDirForTesting() { return lastCommandDir.Get(); }
int CommandCountForTesting() { return commandCount; }
uint32_t LastShowForTesting() { return lastShow; }
void FailProgramStartsForTesting(uint32_t error, int times) {
  programStartError = error;
  programStartFailures = times;
}
int ProgramStartTriesForTesting() { return programStartTries; }
void SetModulePathForTesting(const char* path) { moduleOverride.Set(path); }

// As GetModuleFileNameA: truncated to size - 1 characters and terminated; the
// number of characters copied, 0 for size 0.
uint32_t GetModulePath(void* module, char* buffer, uint32_t size) {
  testing_internal::SystemCall system;
  const char* path = moduleOverride.GetOrNull();
  if (path == nullptr) return RealGetModulePath(module, buffer, size);
  if (size == 0) return 0;
  uint32_t length = static_cast<uint32_t>(std::strlen(path));
  if (length >= size) length = size - 1;
  std::memcpy(buffer, path, length);
  buffer[length] = '\0';
  return length;
}

uint32_t StartCommand(const char* command, uint32_t show) {
  testing_internal::SystemCall system;
  if (!recording) return RealStartCommand(command, show);
  Keep(nullptr, command, show);
  return kWinExecStarted;
}

uint32_t StartProgram(const char* program, const char* commandLine, uint32_t show) {
  testing_internal::SystemCall system;
  if (!recording) return RealStartProgram(program, commandLine, show);
  ++programStartTries;
  if (programStartError != 0 && programStartFailures != 0) {
    if (programStartFailures > 0) --programStartFailures;
    return programStartError;
  }
  Keep(program, commandLine, show);
  return 0;
}

}  // namespace platform
