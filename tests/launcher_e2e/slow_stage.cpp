// A next stage that comes up slowly: busy for 2 s before it first looks for a message, as a
// setup starter loading its libraries on a slow PC is. It logs the moment it first waits for
// input ("stage-idle", planted_log.h) and then does what the sample next stage does.
#include "next_stage/input_idle.h"
#include "next_stage/started_stage.h"
#include "tests/launcher_e2e/planted_log.h"

#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
  Sleep(2000);
  LogMoment("stage-idle");
  SignalInputIdle();
  return RunStartedStage(commandLine);
}
