// The launcher's entry function: the whole run, from the one-instance check to
// the final wait, on the one GUI thread.
#include "launcher/exit_codes.h"
#include "launcher/failure_messages.h"
#include "launcher/free_space.h"
#include "launcher/gui/entry_steps.h"
#include "launcher/launcher_flags.h"
#include "launcher/setup_sequence.h"
#include "platform/dll_search.h"
#include "string/vx_string.h"

#include <windows.h>

#include <new>

namespace {

int RunLauncher(HINSTANCE instance, const char* commandLine) {
  platform::RestrictDllSearchToSystem();
  moduleInstance = instance;
  if (BringOpenSetupToFront()) return kExitSuccess;
  ShowSplashAndWaitForPaint();

  char tempDir[kTempDirSize];
  TakeTempDir(tempDir);
  char rootDrive[3];
  TakeRootDrive(tempDir, rootDrive);
  const double freeBytes = GetFreeDiskBytes(rootDrive);
  if (!HasRoomForSetup(freeBytes)) {
    // The splash stays until the process ends; nothing has been written.
    ShowLauncherMessage(FormatNoRoomMessage(rootDrive, freeBytes));
    return kExitNoRoom;
  }

  SetupOutcome outcome = RunSetupSequence(tempDir, commandLine);
  if (outcome.exitCode != kExitSuccess) {
    CloseSplashNow();
    ShowLauncherMessage(FormatFailureMessage(outcome.exitCode, outcome.detail));
    return outcome.exitCode;
  }
  CloseSplashAndWait();
  return kExitSuccess;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
  // The sequence catches what its own steps raise; this is the last line, for
  // a failure outside it (no memory for a message, say). The process then ends
  // with a defined code and without a crash dialog.
  try {
    return RunLauncher(instance, commandLine);
  } catch (const std::bad_alloc&) {
    return kExitOutOfMemory;
  } catch (...) {
    return kExitUnexpected;
  }
}
