// A program planted as Vistart.exe beside the launcher, where a search by bare name would
// find it first: when it runs, it logs its command line (planted_log.h) and does nothing else.
#include "tests/launcher_e2e/planted_log.h"

#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  AppendToPlantedLog(GetCommandLineA());
  return 0;
}
