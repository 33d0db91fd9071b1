// e2e_helper: the Windows side of the launcher's end-to-end tests under Wine.
//   run TEMPDIR COMMANDLINE   starts COMMANDLINE with TMP and TEMP set to TEMPDIR (so that
//                             GetTempPathA gives it), waits at most 120 s and exits with the
//                             program's exit code (99 when it did not end in time). In both,
//                             {XX} stands for the byte with hex value XX: Wine's conversion
//                             of Unix arguments depends on the Unix locale, ANSI bytes
//                             spelt this way arrive as they are.
//   answer CAPTION OUT [MS]   waits at most MS (default 60000) for a message box titled
//                             CAPTION, writes its text to OUT, presses its first button and
//                             exits 0; 1 when no box came.
//   setup-window OUT SECONDS  opens a minimised window of the setup's class and title and
//                             keeps it for SECONDS; then writes to OUT whether it was
//                             restored and exits 0.
//   load NAME                 LoadLibraryA(NAME) with the default search order: exit 0 when
//                             it loaded.
//   mkdir PATH                CreateDirectoryA(PATH), {XX} spelt as in run: exit 0 when made.
//   watch-splash MS           waits at most MS for the launcher's splash (a visible dialog
//                             without a title) to come up and to go again; logs
//                             "splash-up TICK" and "splash-gone TICK" (planted_log.h).
//   hold TEMPDIR NAME MS      waits at most 60 s for NAME in the work folder (VAVOdozu*) in
//                             TEMPDIR to be written, opens it without any sharing, as a
//                             security program's scan does, keeps it open for MS and logs
//                             "held TICK" and "released TICK"; exit 1 when it never came.
//   swap-stage TEMPDIR NEXT STOP MS  waits at most MS for Vistart.exe to be written in the
//                             work folder in TEMPDIR (the launcher has gone on to NEXT, the
//                             entry it unpacks after it), then tries to open it for writing
//                             every millisecond until the file STOP exists or MS have passed;
//                             the first open that succeeds overwrites the program and ends
//                             with exit 1. Exit 0 when every try was refused, 2 when the
//                             program never came.
// With VX_E2E_TIMES set, run logs "started TICK" and "ended TICK" around the program. With
// VX_E2E_DETACHED set, run starts it without a console, as a double-click in the shell does.
#include "tests/launcher_e2e/planted_log.h"

#include <windows.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

bool WriteText(const char* path, const std::string& text) {
  FILE* out = std::fopen(path, "wb");
  if (out == nullptr) return false;
  std::fwrite(text.data(), 1, text.size(), out);
  return std::fclose(out) == 0;
}

std::string DecodeBytes(const char* text) {
  std::string bytes;
  for (const char* p = text; *p != '\0'; ++p) {
    if (p[0] == '{' && std::isxdigit(static_cast<unsigned char>(p[1])) &&
        std::isxdigit(static_cast<unsigned char>(p[2])) && p[3] == '}') {
      bytes += static_cast<char>(std::strtol(std::string(p + 1, 2).c_str(), nullptr, 16));
      p += 3;
    } else {
      bytes += *p;
    }
  }
  return bytes;
}

int Run(const char* tempArg, const char* commandArg) {
  const std::string tempDir = DecodeBytes(tempArg);
  SetEnvironmentVariableA("TMP", tempDir.c_str());
  SetEnvironmentVariableA("TEMP", tempDir.c_str());
  const std::string commandLine = DecodeBytes(commandArg);
  std::vector<char> line(commandLine.begin(), commandLine.end());
  line.push_back('\0');
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  const DWORD flags = std::getenv("VX_E2E_DETACHED") != nullptr ? DETACHED_PROCESS : 0;
  LogMoment("started");
  if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, flags, nullptr, nullptr,
                      &startup, &process)) {
    std::fprintf(stderr, "e2e_helper: cannot start %s (error %lu)\n", commandLine.c_str(), GetLastError());
    return 98;
  }
  DWORD code = 99;
  if (WaitForSingleObject(process.hProcess, 120000) == WAIT_OBJECT_0) {
    LogMoment("ended");
    GetExitCodeProcess(process.hProcess, &code);
  } else {
    TerminateProcess(process.hProcess, 99);
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return static_cast<int>(code);
}

int Answer(const char* caption, const char* outPath, DWORD ms) {
  const DWORD start = GetTickCount();
  HWND box = nullptr;
  while ((box = FindWindowA("#32770", caption)) == nullptr || !IsWindowVisible(box)) {
    if (GetTickCount() - start > ms) {
      std::fprintf(stderr, "e2e_helper: no message box \"%s\" within %lu ms\n", caption, ms);
      return 1;
    }
    Sleep(50);
  }
  char text[4096] = "";
  // The static control that holds a message box's text.
  GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
  if (!WriteText(outPath, text)) return 2;
  // The first button: OK of an OK box, Yes of a Yes/No box.
  HWND button = FindWindowExA(box, nullptr, "Button", nullptr);
  PostMessageA(box, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(button), BN_CLICKED),
               reinterpret_cast<LPARAM>(button));
  return 0;
}

LRESULT CALLBACK FrameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcA(window, message, wParam, lParam);
}

int SetupWindow(const char* outPath, int seconds) {
  WNDCLASSA frameClass{};
  frameClass.lpfnWndProc = FrameProc;
  frameClass.hInstance = GetModuleHandleA(nullptr);
  frameClass.lpszClassName = "AfxFrameOrView42";
  if (!RegisterClassA(&frameClass)) return 2;
  HWND frame = CreateWindowA("AfxFrameOrView42", "Zelvora Setup", WS_OVERLAPPEDWINDOW, 10, 10, 300,
                             200, nullptr, nullptr, frameClass.hInstance, nullptr);
  if (frame == nullptr) return 2;
  ShowWindow(frame, SW_SHOWMINIMIZED);
  WriteText(outPath, "minimised\n");
  const DWORD end = GetTickCount() + static_cast<DWORD>(seconds) * 1000;
  while (GetTickCount() < end) {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
    Sleep(20);
  }
  WriteText(outPath, IsIconic(frame) ? "still minimised\n" : "restored\n");
  DestroyWindow(frame);
  return 0;
}

// The splash is the one visible dialog without a title; message boxes carry one.
bool SplashIsUp() {
  HWND window = FindWindowA("#32770", "");
  return window != nullptr && IsWindowVisible(window);
}

int WatchSplash(DWORD ms) {
  const DWORD start = GetTickCount();
  bool seen = false;
  while (GetTickCount() - start < ms) {
    const bool up = SplashIsUp();
    if (up && !seen) LogMoment("splash-up");
    if (!up && seen) {
      LogMoment("splash-gone");
      return 0;
    }
    seen = seen || up;
    Sleep(10);
  }
  return 1;
}

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// TEMPDIR\VAVOdozu*\name of the first work folder there; empty while there is none.
std::string InWorkFolder(const std::string& tempDir, const char* name) {
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((tempDir + "VAVOdozu*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return std::string();
  FindClose(search);
  return tempDir + found.cFileName + "\\" + name;
}

// Waits at most ms for TEMPDIR's work folder to hold name; its path, or empty.
std::string WaitInWorkFolder(const std::string& tempDir, const char* name, DWORD ms) {
  const DWORD start = GetTickCount();
  while (GetTickCount() - start < ms) {
    const std::string path = InWorkFolder(tempDir, name);
    if (!path.empty() && Exists(path)) return path;
    Sleep(1);
  }
  return std::string();
}

int Hold(const char* tempArg, const char* name, DWORD ms) {
  const std::string path = WaitInWorkFolder(DecodeBytes(tempArg), name, 60000);
  const DWORD start = GetTickCount();
  HANDLE file = INVALID_HANDLE_VALUE;
  // Refused while the launcher still writes it.
  while (!path.empty() && GetTickCount() - start < 60000 &&
         (file = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr)) ==
             INVALID_HANDLE_VALUE) {
    Sleep(1);
  }
  if (file == INVALID_HANDLE_VALUE) return 1;
  LogMoment("held");
  Sleep(ms);
  CloseHandle(file);
  LogMoment("released");
  return 0;
}

int SwapStage(const char* tempArg, const char* next, const char* stopPath, DWORD ms) {
  const DWORD start = GetTickCount();
  const std::string tempDir = DecodeBytes(tempArg);
  if (WaitInWorkFolder(tempDir, next, ms).empty()) return 2;
  const std::string path = InWorkFolder(tempDir, "Vistart.exe");
  const std::string stop = DecodeBytes(stopPath);
  unsigned refused = 0;
  while (!Exists(stop) && GetTickCount() - start < ms) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
      DWORD written = 0;
      WriteFile(file, "swapped", 7, &written, nullptr);
      CloseHandle(file);
      std::printf("swap-stage: overwrote %s after %u refusals\n", path.c_str(), refused);
      return 1;
    }
    ++refused;
    Sleep(1);
  }
  std::printf("swap-stage: %u tries refused\n", refused);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 4 && std::strcmp(argv[1], "run") == 0) return Run(argv[2], argv[3]);
  if (argc >= 4 && std::strcmp(argv[1], "answer") == 0) {
    return Answer(argv[2], argv[3], argc >= 5 ? static_cast<DWORD>(std::atol(argv[4])) : 60000);
  }
  if (argc >= 4 && std::strcmp(argv[1], "setup-window") == 0) {
    return SetupWindow(argv[2], std::atoi(argv[3]));
  }
  if (argc >= 3 && std::strcmp(argv[1], "mkdir") == 0) {
    return CreateDirectoryA(DecodeBytes(argv[2]).c_str(), nullptr) ? 0 : 1;
  }
  if (argc >= 3 && std::strcmp(argv[1], "load") == 0) return LoadLibraryA(argv[2]) != nullptr ? 0 : 1;
  if (argc >= 3 && std::strcmp(argv[1], "watch-splash") == 0) {
    return WatchSplash(static_cast<DWORD>(std::atol(argv[2])));
  }
  if (argc >= 5 && std::strcmp(argv[1], "hold") == 0) {
    return Hold(argv[2], argv[3], static_cast<DWORD>(std::atol(argv[4])));
  }
  if (argc >= 6 && std::strcmp(argv[1], "swap-stage") == 0) {
    return SwapStage(argv[2], argv[3], argv[4], static_cast<DWORD>(std::atol(argv[5])));
  }
  std::fprintf(stderr,
               "usage: e2e_helper run|answer|setup-window|load|mkdir|watch-splash|hold|swap-stage ...\n");
  return 2;
}
