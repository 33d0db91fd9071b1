// Vistart.exe: the sample setup starter that the launcher runs from the work
// folder. Everything it does is in run_stage.h.
#include "next_stage/run_stage.h"

#include <windows.h>

#include <cstdlib>

int WINAPI WinMain(HINSTANCE /*instance*/, HINSTANCE /*previous*/, LPSTR commandLine, int /*show*/) {
  // The launcher starts this program with WinExec, which returns once the program waits for
  // input (or ends). A look at the empty message queue says so at once, and the launcher can
  // go on and leave the work folder before the clean-up script wants to remove it.
  MSG message;
  PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE);
  StageInputs inputs;
  inputs.commandLine = commandLine;
  // The line exactly as the launcher passed it to WinExec, program name included.
  inputs.fullCommandLine = GetCommandLineA();
  inputs.recordPath = std::getenv(kStageRecordVariable);
  inputs.waitForStarter = true;
  return RunStage(inputs);
}
