// Vistart.exe: the sample setup starter that the launcher runs from the work
// folder. Everything it does is in run_stage.h.
#include "next_stage/run_stage.h"

#include <windows.h>

#include <cstdlib>

int WINAPI WinMain(HINSTANCE /*instance*/, HINSTANCE /*previous*/, LPSTR commandLine, int /*show*/) {
  StageInputs inputs;
  inputs.commandLine = commandLine;
  // The line exactly as the launcher passed it to WinExec, program name included.
  inputs.fullCommandLine = GetCommandLineA();
  inputs.recordPath = std::getenv(kStageRecordVariable);
  return RunStage(inputs);
}
