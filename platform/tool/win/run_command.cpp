// Running a command line through cmd.exe, Ctrl-C left to it.
#include "platform/tool/run_command.h"

#include "platform/tool/win/console_interrupt.h"
#include "platform/tool/win/wide_text.h"

#include <windows.h>

#include <csignal>
#include <string>

namespace platform_tool {
namespace {

volatile LONG gInterrupt = 0;

// The command shares the console and gets the Ctrl-C itself; the tool only notes it, so that
// it can remove its temporary output once the command has ended.
BOOL WINAPI NoteInterrupt(DWORD event) {
  gInterrupt = event == CTRL_C_EVENT ? SIGINT : SIGTERM;
  return TRUE;
}

std::wstring Interpreter() {
  wchar_t path[MAX_PATH];
  const DWORD length = GetEnvironmentVariableW(L"COMSPEC", path, MAX_PATH);
  return length > 0 && length < MAX_PATH ? std::wstring(path, length) : std::wstring(L"cmd.exe");
}

HANDLE Inheritable(DWORD which) {
  HANDLE handle = GetStdHandle(which);
  if (handle != nullptr && handle != INVALID_HANDLE_VALUE) {
    SetHandleInformation(handle, HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT);
  }
  return handle;
}

}  // namespace

CommandResult RunCommandLine(const std::string& commandLine) {
  CommandResult result;
  // /s: cmd takes everything between the first and the last quote as the command, unchanged.
  std::wstring line = L"\"" + Interpreter() + L"\" /d /s /c \"" + WideFromUtf8(commandLine) + L"\"";
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = Inheritable(STD_INPUT_HANDLE);
  startup.hStdOutput = Inheritable(STD_ERROR_HANDLE);
  startup.hStdError = startup.hStdOutput;
  PROCESS_INFORMATION process = {};
  gInterrupt = 0;
  SetConsoleCtrlHandler(NoteInterrupt, TRUE);
  if (!CreateProcessW(nullptr, &line[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process)) {
    SetConsoleCtrlHandler(NoteInterrupt, FALSE);
    result.error = "cannot start cmd.exe (error " + std::to_string(GetLastError()) + ")";
    return result;
  }
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD code = 0;
  GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  SetConsoleCtrlHandler(NoteInterrupt, FALSE);
  result.started = true;
  result.exitCode = static_cast<int>(code);
  result.interrupt = static_cast<int>(gInterrupt);
  return result;
}

std::string QuoteForCommandLine(const std::string& path) { return "\"" + path + "\""; }

void EndAsSignalled(int /*interrupt*/) { ExitProcess(kCtrlCExitCode); }

void SleepSeconds(unsigned seconds) { Sleep(seconds * 1000u); }

}  // namespace platform_tool
