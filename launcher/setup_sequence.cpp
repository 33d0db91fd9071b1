// The second half of the launcher's sequence.
#include "launcher/setup_sequence.h"

#include "archive/archive_reader.h"
#include "archive/archive_verify.h"
#include "archive/extract_entry.h"
#include "launcher/exit_codes.h"
#include "launcher/file_system.h"
#include "launcher/held_retry.h"
#include "launcher/launcher_flags.h"
#include "launcher/script_path.h"
#include "launcher/work_protection.h"
#include "platform/dirs.h"
#include "platform/disk.h"
#include "platform/file.h"
#include "platform/process.h"
#include "platform/resources.h"
#include "stream/file_stream.h"
#include "stream/stream_exception.h"

#include <cstdarg>
#include <cstdio>
#include <new>

const char* const kPayloadArchives[kPayloadArchiveCount] = {"BASE", "SETUPBASE", "SETUPPICTLITE",
                                                            "PICTLITE", "ZVIMAGE"};

namespace {

constexpr int kModulePathSize = 260;
constexpr uint32_t kShowNormal = 5;  // SW_SHOW
// The next stage's program, one of the unpacked files; the command line names it the same.
constexpr char kStageProgram[] = "Vistart.exe";

// What the run has made so far, so that a failure can take it all back. The
// entry files are recorded before they are opened, so that a file left short
// by a failed write is removed too.
struct Unpacked {
  CreatedDirList dirs;
  CreatedDirList files;  // the entry files, newest first like the folders
  VxString scriptPath;
  bool scriptOpened = false;
  VxFile* script = nullptr;
  // The next stage's program, held from the end of its extraction until its start has
  // returned (OpenToHoldRetrying): nobody can swap it in between.
  platform::FileHandle stageHold = platform::InvalidFileHandle();
};

void ReleaseStageHold(Unpacked* unpacked) {
  if (unpacked->stageHold == platform::InvalidFileHandle()) return;
  platform::FileClose(unpacked->stageHold);
  unpacked->stageHold = platform::InvalidFileHandle();
}

void DeleteStreamQuietly(VxFile* file) {
  try {
    delete file;
  } catch (VxStreamException* e) {
    delete e;
  }
}

// Files first, newest last made first, then the folders newest first (so each
// is empty when its turn comes), then the script, each tried again while a
// security program holds it. Best effort: whatever cannot be removed stays,
// and nothing is raised.
void RemoveUnpacked(Unpacked* unpacked) {
  try {
    ReleaseStageHold(unpacked);
    if (unpacked->script != nullptr) {
      VxFile* script = unpacked->script;
      unpacked->script = nullptr;
      DeleteStreamQuietly(script);
    }
    for (const VxString& file : unpacked->files) RemoveFileRetrying(file);
    for (const VxString& dir : unpacked->dirs) RemoveDirRetrying(dir);
    if (unpacked->scriptOpened) RemoveFileRetrying(unpacked->scriptPath);
  } catch (...) {
  }
}

void Fail(SetupOutcome* outcome, int exitCode, const char* format, ...) {
  outcome->exitCode = exitCode;
  va_list args;
  va_start(args, format);
  std::vsnprintf(outcome->detail, sizeof outcome->detail, format, args);
  va_end(args);
}

// The stream keeps no buffer: the line is in the file when this returns.
void WriteScriptLine(VxFile* script, const VxString& line) {
  script->Write(static_cast<const char*>(line), static_cast<uint32_t>(line.GetLength()));
}

// The archives of the payload as the module holds them.
struct Payload {
  platform::ResourceBytes archives[kPayloadArchiveCount];
  bool present[kPayloadArchiveCount];
  uint32_t entryCount;
};

void FindPayload(Payload* payload) {
  for (int i = 0; i < kPayloadArchiveCount; ++i) {
    payload->present[i] = platform::FindResourceBytes(
        moduleInstance, platform::kArchiveResourceType, kPayloadArchives[i], &payload->archives[i]);
  }
}

// Every archive present is checked in full before anything is written: its
// directory against its bytes and the work folder's length limit, its layout,
// and every stream inflated once into scratch memory. A damaged payload so
// leaves no trace at all, and the unpacking after it cannot end an entry short.
// With directoriesOnly just the directories and the length limit, for a work
// folder name that changed after the full check. Counts the entries.
bool CheckPayload(const VxString& workDir, Payload* payload, bool directoriesOnly,
                  SetupOutcome* outcome) {
  payload->entryCount = 0;
  for (int i = 0; i < kPayloadArchiveCount; ++i) {
    if (!payload->present[i]) continue;
    const platform::ResourceBytes& bytes = payload->archives[i];
    ArchiveReader reader(bytes.data, bytes.size, workDir);
    ArchiveProblem why;
    if (!CheckArchiveDirectory(&reader, bytes.size, &why) ||
        (!directoriesOnly && !VerifyArchive(bytes.data, bytes.size, &why))) {
      Fail(outcome, kExitDamagedArchive, "archive %s: %s", kPayloadArchives[i], why.text);
      return false;
    }
    payload->entryCount += reader.GetEntryCount();
  }
  return true;
}

// How often a name is chosen anew when the one chosen is taken by the time it is
// made: by a second launcher started at the same moment, say.
constexpr int kFreshNameTries = 10;

// Makes the work folder before the first entry goes into it, as a folder of its
// own: when the chosen name is taken meanwhile, another one is chosen, and a
// folder that someone else made is never unpacked into. *workDir ends with a
// backslash. Nothing is made for a payload without entries.
bool MakeWorkDir(const char* tempDir, const VxString& literalTemp, VxString* workDir,
                 const void* security, Payload* payload, Unpacked* unpacked,
                 SetupOutcome* outcome) {
  if (payload->entryCount == 0) return true;
  VxString name = workDir->Left(workDir->GetLength() - 1);
  for (int attempt = 1; CreateFreshDir(name, &unpacked->dirs, security) != 0; ++attempt) {
    name = FindUniqueName(literalTemp + "VAVOdozu%d");
    if (name.GetLength() == 0) {
      Fail(outcome, kExitNoUniqueName, "no free folder name in %s", tempDir);
      return false;
    }
    if (attempt == kFreshNameTries) {
      Fail(outcome, kExitStreamFailure, "the work folder could not be made in %s", tempDir);
      return false;
    }
  }
  const bool renamed = name + "\\" != *workDir;
  *workDir = name + "\\";
  return !renamed || CheckPayload(*workDir, payload, true, outcome);
}

// Opens the script as a new file: when the chosen name is taken meanwhile
// (another launcher's script, or a file or link planted there), another one is
// chosen, so that nothing is written through what someone else put there.
// Raises the stream's exception when no name can be opened.
bool OpenScript(const char* tempDir, const VxString& literalTemp, VxString* scriptPath,
                const void* security, Unpacked* unpacked, SetupOutcome* outcome) {
  for (int attempt = 1;; ++attempt) {
    try {
      unpacked->script = new VxFile(
          *scriptPath, VxFile::OpenWrite | VxFile::OpenCreate | VxFile::OpenNew, security);
      unpacked->scriptPath = *scriptPath;
      unpacked->scriptOpened = true;
      return true;
    } catch (VxStreamException* e) {
      if (attempt == kFreshNameTries) throw;
      delete e;
    }
    *scriptPath = FindUniqueName(literalTemp + "%d.bat");
    if (scriptPath->GetLength() == 0) {
      Fail(outcome, kExitNoUniqueName, "no free script name in %s", tempDir);
      return false;
    }
  }
}

// Back to the folder the launcher was started in, or to the temporary folder
// when that is gone. Releases startDir.
void LeaveWorkDir(char* startDir, const char* tempDir) {
  if (startDir == nullptr || platform::ChangeDir(startDir) != 0) platform::ChangeDir(tempDir);
  platform::FreeCwd(startDir);
}

struct StageStart {
  const char* program;
  const char* command;
};

uint32_t StartStageStep(const void* context) {
  const StageStart* start = static_cast<const StageStart*>(context);
  return platform::StartProgram(start->program, start->command, kShowNormal);
}

// Holds the next stage's program once it is unpacked (the entry of that name in the work
// folder's top level); false when it cannot be opened even after the tries for a security
// program's scan.
bool HoldStageProgram(const ArchiveEntry& entry, const VxString& program, Unpacked* unpacked,
                      SetupOutcome* outcome) {
  if (program.CompareNoCase(entry.destination) != 0) return true;
  ReleaseStageHold(unpacked);
  const uint32_t error = OpenToHoldRetrying(program, &unpacked->stageHold);
  if (error == 0) return true;
  Fail(outcome, kExitStageNotStarted, "%s could not be opened (system error %u)",
       static_cast<const char*>(program), static_cast<unsigned>(error));
  return false;
}

// Starts the next stage from the work folder: the program by its full path there, so that
// no file of that name elsewhere (beside the launcher, say) can run instead, with the work
// folder as its current directory. The start is tried again while a security program holds
// the program. It returns once the stage waits for input (as WinExec did), and the launcher
// lets go of the program and leaves the folder again right then: while it waits for the
// splash, a folder that is current in a live process could not be removed by the clean-up
// script, nor by the launcher itself after a failed start.
void StartStage(const VxString& workDir, const VxString& command, const char* tempDir,
                Unpacked* unpacked, SetupOutcome* outcome) {
  // Made before the folder is entered, like the command: nothing between entering and
  // leaving it may raise.
  const VxString program = workDir + kStageProgram;
  char* startDir = platform::GetCwd(nullptr, 0);
  if (platform::ChangeDir(workDir) != 0) {
    platform::FreeCwd(startDir);
    Fail(outcome, kExitStageNotStarted, "the work folder %s could not be entered",
         static_cast<const char*>(workDir));
    return;
  }
  stageLaunched = true;
  const StageStart start = {program, command};
  const uint32_t error = RetryWhileHeld(StartStageStep, &start);
  ReleaseStageHold(unpacked);
  LeaveWorkDir(startDir, tempDir);
  if (error == 0) return;
  stageLaunched = false;
  if (platform::IsOutOfMemoryError(error)) {
    Fail(outcome, kExitOutOfMemory, "out of memory while starting %s",
         static_cast<const char*>(program));
    return;
  }
  Fail(outcome, kExitStageNotStarted, "%s could not be started (system error %u)",
       static_cast<const char*>(program), static_cast<unsigned>(error));
}

void RunSteps(const char* tempDir, const char* commandLine, Unpacked* unpacked,
              SetupOutcome* outcome) {
  // The temporary folder goes into the patterns escaped, so that only the
  // appended number is formatted.
  VxString literalTemp = EscapePercents(tempDir);
  VxString scriptPath = FindUniqueName(literalTemp + "%d.bat");
  if (scriptPath.GetLength() == 0) {
    Fail(outcome, kExitNoUniqueName, "no free script name in %s", tempDir);
    return;
  }
  VxString workName = FindUniqueName(literalTemp + "VAVOdozu%d");
  if (workName.GetLength() == 0) {
    Fail(outcome, kExitNoUniqueName, "no free folder name in %s", tempDir);
    return;
  }
  VxString workDir = workName + "\\";

  Payload payload;
  FindPayload(&payload);
  if (!CheckPayload(workDir, &payload, false, outcome)) return;
  const WorkProtection protection;
  if (!MakeWorkDir(tempDir, literalTemp, &workDir, protection.Folder(), &payload, unpacked,
                   outcome)) {
    return;
  }
  if (!OpenScript(tempDir, literalTemp, &scriptPath, protection.Script(), unpacked, outcome)) {
    return;
  }

  VxString line;
  VxString pidwait = workDir + "pidwait.exe";
  // The work folder is fresh, so the process-wait line is always written; the
  // test stays so that a work folder that somehow holds the program already
  // is not told to wait twice.
  if (platform::Access(pidwait, platform::kAccessRead) != 0) {
    line.Format("cd \\\r\n%s %%1\r\n", static_cast<const char*>(BatchPath(workDir + "pidwait")));
  } else {
    line = "cd \\\r\n";
  }
  WriteScriptLine(unpacked->script, line);

  const VxString program = workDir + kStageProgram;
  for (int i = 0; i < kPayloadArchiveCount; ++i) {
    if (!payload.present[i]) continue;
    ArchiveReader reader(payload.archives[i].data, payload.archives[i].size, workDir);
    reader.Check();
    ArchiveEntry entry;
    while (reader.Next(&entry)) {
      unpacked->files.AddHead(VxString(entry.destination));
      ExtractArchiveEntry(entry.data, entry.compressedSize, entry.destination, &unpacked->dirs);
      if (!HoldStageProgram(entry, program, unpacked, outcome)) return;
      line.Format("del %s\r\n", static_cast<const char*>(BatchPath(entry.destination)));
      WriteScriptLine(unpacked->script, line);
    }
  }

  for (const VxString& dir : unpacked->dirs) {
    line.Format("rmdir %s\r\n", static_cast<const char*>(BatchPath(dir)));
    WriteScriptLine(unpacked->script, line);
  }
  line.Format("del %s\r\n", static_cast<const char*>(BatchPath(scriptPath)));
  WriteScriptLine(unpacked->script, line);
  VxFile* script = unpacked->script;
  unpacked->script = nullptr;
  delete script;  // closes the file; a failed close raises, the object is gone all the same

  char modulePath[kModulePathSize] = {};
  platform::GetModulePath(moduleInstance, modulePath, kModulePathSize);
  modulePath[kModulePathSize - 1] = '\0';
  VxString command = BuildStageCommand(modulePath, scriptPath, commandLine);

  // The command is built before the folder is entered: once it is current, a
  // failure could no longer remove the folder on Windows.
  StartStage(workDir, command, tempDir, unpacked, outcome);
}

}  // namespace

VxString BuildStageCommand(const char* modulePath, const char* scriptPath, const char* commandLine) {
  VxString command;
  command.Format(
      "Vistart.exe ZVSetup SetupProgram=ZVPict Lite=Yes Wnd=Normal Server=None Wnd=Maximized "
      "ResourceFile=\"%s\" CleanUp=\"%s\" %s",
      modulePath, scriptPath, commandLine != nullptr ? commandLine : "");
  return command;
}

SetupOutcome RunSetupSequence(const char* tempDir, const char* commandLine) {
  SetupOutcome outcome;
  outcome.exitCode = kExitSuccess;
  outcome.detail[0] = '\0';
  Unpacked unpacked;
  try {
    RunSteps(tempDir, commandLine, &unpacked, &outcome);
  } catch (VxStreamException* e) {
    const char* text = e->GetText();
    Fail(&outcome, kExitStreamFailure, "file error %d%s%s",
         static_cast<int>(e->GetCode()), text != nullptr ? ": " : "", text != nullptr ? text : "");
    delete e;
  } catch (const VxStreamException& e) {
    Fail(&outcome, kExitStreamFailure, "zlib error %d",
         static_cast<int>(e.GetCode()));
  } catch (const std::bad_alloc&) {
    Fail(&outcome, kExitOutOfMemory, "out of memory");
  } catch (...) {
    Fail(&outcome, kExitUnexpected, "unknown exception");
  }
  if (outcome.exitCode != kExitSuccess) RemoveUnpacked(&unpacked);
  return outcome;
}
