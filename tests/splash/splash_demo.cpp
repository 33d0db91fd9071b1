// splash_demo [launched]: shows the splash as the launcher does and runs its message loops,
// so that splash_watcher can drive it from outside. First loop: until the first paint. Then,
// with "launched", the stage counts as started (losing the focus ends the splash). Second loop:
// pumps until the splash has ended or 60 s have passed.
// Exit codes: 0 the user confirmed closing (the dialog procedure's exit), 10 the splash ended,
// 2 no splash, 3 time ran out.
#include <windows.h>

#include <cstdio>
#include <cstring>

#include "launcher/gui/message_pump.h"
#include "launcher/gui/splash.h"
#include "launcher/launcher_flags.h"

int main(int argc, char** argv) {
  moduleInstance = GetModuleHandleA(nullptr);
  waitingForPaint = 1;
  HWND window = ShowSplash();
  splashWindow = window;
  if (!window) {
    std::fprintf(stderr, "splash_demo: no splash window\n");
    return 2;
  }
  const DWORD start = GetTickCount();
  while (waitingForPaint) {
    PumpOneMessage();
    if (GetTickCount() - start > 60000) return 3;
  }
  std::printf("splash_demo: painted\n");
  std::fflush(stdout);
  if (argc > 1 && std::strcmp(argv[1], "launched") == 0) stageLaunched = true;
  while (splashOpen) {
    PumpOneMessage();
    Sleep(1);
    if (GetTickCount() - start > 60000) {
      std::fprintf(stderr, "splash_demo: time ran out\n");
      return 3;
    }
  }
  DestroyWindow(window);
  std::printf("splash_demo: splash ended\n");
  return 10;
}
