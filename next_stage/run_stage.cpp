// The setup starter's run: look at the packed archives, start the clean-up
// script, write the record.
#include "next_stage/run_stage.h"

#include "next_stage/cleanup_command.h"
#include "next_stage/stage_exit_codes.h"
#include "platform/data_module.h"
#include "platform/dirs.h"
#include "platform/disk.h"
#include "platform/process.h"
#include "platform/process_wait.h"
#include "stream/file_stream.h"
#include "stream/stream_exception.h"

#include <chrono>
#include <cstdint>

const char* const kPackedArchives[kPackedArchiveCount] = {"APPBASE", "PICTUNINST", "ZVVERSION"};

namespace {

uint64_t WallClockMs() {
  using std::chrono::duration_cast;
  using std::chrono::milliseconds;
  using std::chrono::system_clock;
  return static_cast<uint64_t>(duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count());
}

std::string CurrentDir() {
  char* cwd = platform::GetCwd(nullptr, 0);
  if (cwd == nullptr) return std::string();
  std::string dir = cwd;
  platform::FreeCwd(cwd);
  return dir;
}

std::string OwnPath() {
  char buffer[512];
  uint32_t length = platform::GetModulePath(nullptr, buffer, sizeof buffer);
  return std::string(buffer, length < sizeof buffer ? length : 0);
}

std::string TempFolder() {
  char buffer[512];
  uint32_t length = platform::GetTempFolder(sizeof buffer, buffer);
  return length > 0 && length < sizeof buffer ? std::string(buffer, length) : std::string();
}

void LookAtArchives(const StageCommandLine& line, StageReport* report) {
  const std::string* resourceFile = FindStageValue(line, kResourceFileKey);
  if (resourceFile == nullptr) return;
  void* module = platform::OpenDataModule(resourceFile->c_str());
  if (module == nullptr) {
    report->resourceFile = ResourceFileState::kUnreadable;
    return;
  }
  report->resourceFile = ResourceFileState::kOpened;
  for (const char* name : kPackedArchives) report->archives.push_back(SummariseArchive(module, name));
  platform::CloseDataModule(module);
}

// The script as the launcher left it, read before it runs and deletes itself;
// empty when it cannot be read.
std::string ReadScript(const std::string& path) {
  std::string text;
  VxFile* file = nullptr;
  try {
    file = new VxFile(path.c_str(), VxFile::OpenRead | VxFile::ShareRead);
    text.resize(file->Length());
    if (!text.empty()) text.resize(file->Read(&text[0], static_cast<uint32_t>(text.size())));
  } catch (VxStreamException* e) {
    delete e;
    text.clear();
  }
  delete file;
  return text;
}

std::string SystemFolder() {
  char buffer[512];
  uint32_t length = platform::GetSystemFolder(buffer, sizeof buffer);
  return std::string(buffer, length < sizeof buffer ? length : 0);
}

// The script removes the work folder, which this process was started in. The
// interpreter inherits the current folder, and so does the console the system
// makes for it when this process has none (a setup started by a double-click):
// a folder that is current in a live process cannot be removed. So the script
// starts from the temporary folder (the drive's root when that cannot be
// entered), and this process leaves the work folder with it.
void LeaveWorkFolder() {
  const std::string temp = TempFolder();
  if (temp.empty() || platform::ChangeDir(temp.c_str()) != 0) platform::ChangeDir("\\");
}

void StartCleanUp(const StageCommandLine& line, StageReport* report) {
  const std::string* script = FindStageValue(line, kCleanUpKey);
  if (script == nullptr) return;
  report->scriptText = ReadScript(*script);
  report->cleanUpCommand = BuildCleanUpCommand(SystemFolder(), *script, report->processId);
  LeaveWorkFolder();
  report->cleanUpStart = platform::StartCommand(report->cleanUpCommand.c_str(), kCleanUpShow);
}

const char* StarterWaitText(platform::ProcessWait wait) {
  switch (wait) {
    case platform::ProcessWait::kEnded: return "ended";
    case platform::ProcessWait::kNoSuchProcess: return "gone";
    case platform::ProcessWait::kFailed: return "refused";
    case platform::ProcessWait::kTimedOut: return "timed out";
  }
  return "unknown";
}

int ExitCodeFor(const StageReport& report) {
  if (report.cleanUpCommand.empty()) return kStageNoCleanUp;
  if (report.resourceFile != ResourceFileState::kOpened) return kStageNoResourceFile;
  return kStageSuccess;
}

}  // namespace

int RunStage(const StageInputs& inputs, StageReport* out) {
  StageReport report;
  report.startMs = WallClockMs();
  report.commandLine = inputs.commandLine != nullptr ? inputs.commandLine : "";
  report.fullCommandLine = inputs.fullCommandLine != nullptr ? inputs.fullCommandLine : "";
  report.parsed = ParseStageCommandLine(report.commandLine.c_str());
  report.program = OwnPath();
  report.currentDir = CurrentDir();
  report.processId = platform::CurrentProcessId();
  LookAtArchives(report.parsed, &report);
  if (inputs.waitForStarter) {
    report.starterWait =
        StarterWaitText(platform::WaitForProcessEndFor(platform::ParentProcessId(), kStarterWaitMs));
  }
  StartCleanUp(report.parsed, &report);
  report.exitCode = ExitCodeFor(report);
  if (inputs.recordPath != nullptr &&
      IsRecordPathAllowed(inputs.recordPath, report.currentDir.c_str(), TempFolder().c_str())) {
    WriteStageRecord(inputs.recordPath, FormatStageRecord(report));
  }
  if (out != nullptr) *out = report;
  return report.exitCode;
}
