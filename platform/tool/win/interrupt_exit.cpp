// The last console handler: ends the process as an interrupted console program ends.
#include "platform/tool/interrupt_exit.h"

#include "platform/tool/win/console_interrupt.h"

#include <windows.h>

namespace platform_tool {
namespace {

BOOL WINAPI EndAsInterrupted(DWORD /*event*/) {
  // Nothing of the tool's is pending here (a pending output has a handler of
  // its own, called before this one); TerminateProcess runs no exit code of
  // the runtime on this handler thread while the main thread goes on.
  TerminateProcess(GetCurrentProcess(), kCtrlCExitCode);
  return TRUE;
}

}  // namespace

void EndOnUnhandledInterrupt() { SetConsoleCtrlHandler(EndAsInterrupted, TRUE); }

}  // namespace platform_tool
