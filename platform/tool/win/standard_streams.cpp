// Standard output and error on Windows: binary, and a console in UTF-8.
#include "platform/tool/standard_streams.h"

#include <windows.h>
#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstdlib>

namespace platform_tool {
namespace {

// The console's code page before the tool's: the console outlives the tool.
UINT g_previousCodePage = 0;

void RestoreCodePage() { SetConsoleOutputCP(g_previousCodePage); }

bool IsConsole(DWORD which) {
  DWORD mode;
  const HANDLE handle = GetStdHandle(which);
  return handle != nullptr && handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode) != 0;
}

}  // namespace

void PrepareStandardStreams() {
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
  if (!IsConsole(STD_OUTPUT_HANDLE) && !IsConsole(STD_ERROR_HANDLE)) return;
  const UINT codePage = GetConsoleOutputCP();
  if (codePage == CP_UTF8 || !SetConsoleOutputCP(CP_UTF8)) return;
  g_previousCodePage = codePage;
  std::atexit(RestoreCodePage);
}

}  // namespace platform_tool
