//===- started_stage.h - The stage's run as a started Windows program ----===//
// For the entry functions of next-stage programs (Windows only): what RunStage
// needs, taken from the process itself. The caller has signalled input idle.
#ifndef VX_NEXT_STAGE_STARTED_STAGE_H
#define VX_NEXT_STAGE_STARTED_STAGE_H

#include "next_stage/run_stage.h"

#include <windows.h>

#include <cstdlib>

// Runs the stage with commandLine as the entry function received it; the whole
// line comes from the process, exactly as the launcher started it, program name
// included, and the record's path from the environment.
inline int RunStartedStage(const char* commandLine) {
  StageInputs inputs;
  inputs.commandLine = commandLine;
  inputs.fullCommandLine = GetCommandLineA();
  inputs.recordPath = std::getenv(kStageRecordVariable);
  inputs.waitForStarter = true;
  return RunStage(inputs);
}

#endif  // VX_NEXT_STAGE_STARTED_STAGE_H
