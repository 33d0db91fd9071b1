// Vistart.exe: the sample setup starter that the launcher runs from the work
// folder. Everything it does is in run_stage.h.
#include "next_stage/input_idle.h"
#include "next_stage/started_stage.h"

#include <windows.h>

int WINAPI WinMain(HINSTANCE /*instance*/, HINSTANCE /*previous*/, LPSTR commandLine, int /*show*/) {
  // The launcher goes on only once this program waits for input (or ends), as WinExec did;
  // saying so at once lets it end, which the run below waits for before the clean-up.
  SignalInputIdle();
  return RunStartedStage(commandLine);
}
