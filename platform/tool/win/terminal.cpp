// Whether standard error is a console that takes escape sequences (Windows 10
// has them once asked for).
#include "platform/tool/terminal.h"

#include <windows.h>

#include <cstdlib>

#ifndef ENABLE_VIRTUAL_TERMINAL_PROCESSING
#define ENABLE_VIRTUAL_TERMINAL_PROCESSING 0x0004
#endif

namespace platform_tool {
namespace {

// The console's mode before the tool asked for the sequences: the console
// outlives the tool (the command prompt that started it goes on using it).
HANDLE g_changedConsole = nullptr;
DWORD g_previousMode = 0;

void RestoreConsoleMode() { SetConsoleMode(g_changedConsole, g_previousMode); }

}  // namespace

bool StderrIsTerminal() {
  const HANDLE handle = GetStdHandle(STD_ERROR_HANDLE);
  DWORD mode;
  if (handle == nullptr || handle == INVALID_HANDLE_VALUE || !GetConsoleMode(handle, &mode)) return false;
  if ((mode & ENABLE_VIRTUAL_TERMINAL_PROCESSING) != 0) return true;
  if (!SetConsoleMode(handle, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING)) return false;
  if (g_changedConsole == nullptr) {
    g_changedConsole = handle;
    g_previousMode = mode;
    std::atexit(RestoreConsoleMode);
  }
  return true;
}

}  // namespace platform_tool
