// pidwait.exe under Wine, started as the clean-up script starts it: alone, and from a batch
// file run through the command interpreter with the command line that Vistart.exe uses.
#include "next_stage/cleanup_command.h"
#include "next_stage/stage_exit_codes.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace {

std::string OwnFolder() {
  char path[MAX_PATH];
  DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
  std::string folder(path, length);
  return folder.substr(0, folder.find_last_of('\\') + 1);
}

// pidwait.exe is copied next to this test when it is built.
std::string PidWait() { return OwnFolder() + "pidwait.exe"; }

struct Started {
  HANDLE process = nullptr;
  DWORD id = 0;
};

Started Start(const std::string& commandLine, DWORD flags = 0) {
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_HIDE;
  PROCESS_INFORMATION info{};
  std::string line = commandLine;
  Started started;
  if (CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, flags | CREATE_NO_WINDOW, nullptr, nullptr,
                     &startup, &info)) {
    CloseHandle(info.hThread);
    started.process = info.hProcess;
    started.id = info.dwProcessId;
  }
  return started;
}

// A process that runs until the test ends it: pidwait itself, never resumed.
Started StartHeld() { return Start("\"" + PidWait() + "\" 1", CREATE_SUSPENDED); }

DWORD ExitCodeAfter(HANDLE process, DWORD timeoutMs) {
  if (WaitForSingleObject(process, timeoutMs) != WAIT_OBJECT_0) return STILL_ACTIVE;
  DWORD code = STILL_ACTIVE;
  GetExitCodeProcess(process, &code);
  return code;
}

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::string TempFolder() {
  char path[MAX_PATH];
  DWORD length = GetTempPathA(sizeof path, path);
  return std::string(path, length);
}

TEST(PidWaitTest, WaitsForARunningProcessAndReturnsWhenItEnds) {
  Started held = StartHeld();
  ASSERT_NE(held.process, nullptr);
  Started waiter = Start("\"" + PidWait() + "\" " + std::to_string(held.id));
  ASSERT_NE(waiter.process, nullptr);
  EXPECT_EQ(WaitForSingleObject(waiter.process, 700), static_cast<DWORD>(WAIT_TIMEOUT));
  TerminateProcess(held.process, 0);
  EXPECT_EQ(ExitCodeAfter(waiter.process, 20000), static_cast<DWORD>(kStageSuccess));
  CloseHandle(waiter.process);
  CloseHandle(held.process);
}

TEST(PidWaitTest, ReturnsAtOnceForAProcessThatIsGone) {
  Started gone = Start("\"" + PidWait() + "\"");
  ASSERT_NE(gone.process, nullptr);
  ASSERT_EQ(ExitCodeAfter(gone.process, 20000), static_cast<DWORD>(kStageBadProcessId));
  CloseHandle(gone.process);
  Started waiter = Start("\"" + PidWait() + "\" " + std::to_string(gone.id));
  ASSERT_NE(waiter.process, nullptr);
  EXPECT_EQ(ExitCodeAfter(waiter.process, 20000), static_cast<DWORD>(kStageSuccess));
  CloseHandle(waiter.process);
}

TEST(PidWaitTest, BadArgumentsReturnAtOnce) {
  for (const char* arguments : {"", " abc", " 0", " -5", " 12x", " 1 2", " 99999999999"}) {
    SCOPED_TRACE(arguments);
    Started waiter = Start("\"" + PidWait() + "\"" + arguments);
    ASSERT_NE(waiter.process, nullptr);
    EXPECT_EQ(ExitCodeAfter(waiter.process, 20000), static_cast<DWORD>(kStageBadProcessId));
    CloseHandle(waiter.process);
  }
}

// The interpreter must not go on to the script's next line while pidwait runs, and must
// hand the script its argument through the quoting of a path with blanks.
TEST(PidWaitTest, ACleanUpScriptWaitsForItUnderTheInterpreter) {
  const std::string folder = TempFolder() + "next stage " + std::to_string(GetCurrentProcessId());
  ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
  const std::string script = folder + "\\clean up.bat";
  const std::string marker = folder + "\\after.txt";
  const std::string text = "cd \\\r\n\"" + PidWait() + "\" %1\r\necho %1> \"" + marker + "\"\r\n";
  HANDLE file = CreateFileA(script.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  DWORD written = 0;
  WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  CloseHandle(file);

  Started held = StartHeld();
  ASSERT_NE(held.process, nullptr);
  char system[MAX_PATH];
  ASSERT_NE(GetSystemDirectoryA(system, MAX_PATH), 0u);
  Started interpreter = Start(BuildCleanUpCommand(system, script, held.id));
  ASSERT_NE(interpreter.process, nullptr);
  EXPECT_EQ(WaitForSingleObject(interpreter.process, 1500), static_cast<DWORD>(WAIT_TIMEOUT));
  EXPECT_FALSE(Exists(marker));
  TerminateProcess(held.process, 0);
  EXPECT_NE(ExitCodeAfter(interpreter.process, 30000), static_cast<DWORD>(STILL_ACTIVE));

  std::string seen;
  HANDLE after = CreateFileA(marker.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  EXPECT_NE(after, INVALID_HANDLE_VALUE);
  if (after != INVALID_HANDLE_VALUE) {
    char buffer[64];
    DWORD read = 0;
    ReadFile(after, buffer, sizeof buffer, &read, nullptr);
    seen.assign(buffer, read);
    CloseHandle(after);
  }
  EXPECT_EQ(seen, std::to_string(held.id) + "\r\n");
  CloseHandle(interpreter.process);
  CloseHandle(held.process);
  DeleteFileA(marker.c_str());
  DeleteFileA(script.c_str());
  RemoveDirectoryA(folder.c_str());
}

}  // namespace
