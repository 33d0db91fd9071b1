//===- run_stage.h - The setup starter's run -----------------------------===//
// What Vistart.exe does, without its entry function: it reads the command
// line that the launcher built, looks at the three archives that the launcher
// left packed in the file named by ResourceFile, starts the clean-up script
// named by CleanUp with its own process id (so that the script waits for this
// process to end before it deletes the work folder), and writes a record of
// all that when asked to.
#ifndef VX_NEXT_STAGE_RUN_STAGE_H
#define VX_NEXT_STAGE_RUN_STAGE_H

#include "next_stage/stage_record.h"

// The archives that stay packed in the launcher, in the order they are looked at.
constexpr int kPackedArchiveCount = 3;
extern const char* const kPackedArchives[kPackedArchiveCount];

// The environment variable that names the record file.
constexpr const char kStageRecordVariable[] = "ZELVORA_STAGE_RECORD";

struct StageInputs {
  const char* commandLine;      // the arguments as the entry function received them; null counts as empty
  const char* fullCommandLine;  // the whole line as started, program name included; null: not known
  const char* recordPath;       // where to write the record; null: no record
  bool waitForStarter;          // wait (bounded) for the starting process to end first
};

// How long the stage waits for the launcher that started it to end before it
// starts the clean-up script anyway.
constexpr uint32_t kStarterWaitMs = 15000;

// Runs the stage and returns its exit code (stage_exit_codes.h). With
// waitForStarter the clean-up script is started only once the process that
// started this one has ended (or kStarterWaitMs have passed): the launcher has
// the work folder as its current directory while it starts the stage, and a
// folder that a live process holds cannot be removed. The record is
// written last, after the script was started, and only to a path that
// IsRecordPathAllowed accepts for the current directory and the temporary
// folder; a refused or failing record changes nothing else. When report is
// not null it receives what the record holds.
int RunStage(const StageInputs& inputs, StageReport* report = nullptr);

#endif  // VX_NEXT_STAGE_RUN_STAGE_H
