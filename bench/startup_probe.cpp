// startup_probe: the Windows side of the start-up benchmark, a starter that watches the screen.
//
// usage: startup_probe time TEMPDIR OUT COMMANDLINE
//
// Sets TMP and TEMP to TEMPDIR (made when missing), takes the wall clock and starts
// COMMANDLINE at once. Then, without touching the program, it polls about once a millisecond
// for the program's first visible dialog window (class "#32770") and for the first painted
// pixels of it: the middle row of the window's client area, read back from the screen, is no
// longer all one colour. Before its first paint a window shows one colour (black, or the
// background brush); both the splash picture and the baseline program's stripes have many.
// What counts is thus what reaches the screen, the same way for every program watched.
//
// When the program has ended (at most 120 s), OUT gets key=value lines, times in
// milliseconds since 1970 UTC, like the next stage's start_ms:
//   start_ms=   just before CreateProcess
//   window_ms=  the dialog was first seen visible, or "none"
//   paint_ms=   its first painted pixels were first seen, or "none"
//   exit_ms=    the end of the program was seen
//   exit_code=  the program's exit code (99: it did not end in time)
// The probe's exit code: 0 when the program ran, 2 on a usage or start error.
#include <windows.h>

#include "tests/support/visible_dialog.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr DWORD kRunLimitMs = 120000;

double NowMs() {
  using std::chrono::duration;
  using std::chrono::system_clock;
  return duration<double, std::milli>(system_clock::now().time_since_epoch()).count();
}

// Reads one screen row into a 32-bit DIB; the screen is what the user sees, so a paint that
// the window system has not yet shown does not count.
class ScreenRow {
 public:
  ScreenRow() : screen_(GetDC(nullptr)), memory_(CreateCompatibleDC(screen_)) {}
  ~ScreenRow() {
    Release();
    DeleteDC(memory_);
    ReleaseDC(nullptr, screen_);
  }
  ScreenRow(const ScreenRow&) = delete;
  ScreenRow& operator=(const ScreenRow&) = delete;

  // Whether the row of width pixels at x, y holds more than one colour.
  bool HasSeveralColours(int x, int y, int width) {
    if (width <= 0 || !Fit(width)) return false;
    BitBlt(memory_, 0, 0, width, 1, screen_, x, y, SRCCOPY);
    GdiFlush();
    for (int i = 1; i < width; ++i) {
      if ((bits_[i] & 0xFFFFFF) != (bits_[0] & 0xFFFFFF)) return true;
    }
    return false;
  }

 private:
  bool Fit(int width) {
    if (width == width_) return true;
    Release();
    BITMAPINFOHEADER header{};
    header.biSize = sizeof header;
    header.biWidth = width;
    header.biHeight = 1;
    header.biPlanes = 1;
    header.biBitCount = 32;
    void* bits = nullptr;
    bitmap_ = CreateDIBSection(screen_, reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS, &bits,
                               nullptr, 0);
    if (bitmap_ == nullptr) return false;
    old_ = SelectObject(memory_, bitmap_);
    bits_ = static_cast<const DWORD*>(bits);
    width_ = width;
    return true;
  }

  void Release() {
    if (bitmap_ == nullptr) return;
    SelectObject(memory_, old_);
    DeleteObject(bitmap_);
    bitmap_ = nullptr;
    width_ = 0;
  }

  HDC screen_;
  HDC memory_;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ old_ = nullptr;
  const DWORD* bits_ = nullptr;
  int width_ = 0;
};

bool ShowsPaint(HWND window, ScreenRow* row) {
  RECT client;
  if (!GetClientRect(window, &client)) return false;
  POINT origin{0, (client.bottom - client.top) / 2};
  ClientToScreen(window, &origin);
  return row->HasSeveralColours(origin.x, origin.y, client.right - client.left);
}

struct Observation {
  double startMs = 0;
  double windowMs = -1;
  double paintMs = -1;
  double exitMs = 0;
  DWORD exitCode = 99;
};

// Polls until the program ends; the 1 ms wait on the process is the poll interval.
void Watch(const PROCESS_INFORMATION& process, Observation* seen) {
  ScreenRow row;
  HWND dialog = nullptr;
  const DWORD begin = GetTickCount();
  while (GetTickCount() - begin < kRunLimitMs) {
    if (seen->paintMs < 0) {
      if (dialog == nullptr || !IsWindow(dialog)) {
        dialog = test_support::FindVisibleDialog(process.dwProcessId);
      }
      if (dialog != nullptr && seen->windowMs < 0) seen->windowMs = NowMs();
      if (dialog != nullptr && ShowsPaint(dialog, &row)) seen->paintMs = NowMs();
    }
    const DWORD waitMs = seen->paintMs < 0 ? 1 : 50;
    if (WaitForSingleObject(process.hProcess, waitMs) == WAIT_OBJECT_0) {
      seen->exitMs = NowMs();
      GetExitCodeProcess(process.hProcess, &seen->exitCode);
      return;
    }
  }
  TerminateProcess(process.hProcess, 99);
  seen->exitMs = NowMs();
}

std::string Stamp(double ms) {
  if (ms < 0) return "none";
  char text[32];
  std::snprintf(text, sizeof text, "%.3f", ms);
  return text;
}

bool WriteObservation(const char* path, const Observation& seen) {
  const std::string text = "start_ms=" + Stamp(seen.startMs) + "\nwindow_ms=" + Stamp(seen.windowMs) +
                           "\npaint_ms=" + Stamp(seen.paintMs) + "\nexit_ms=" + Stamp(seen.exitMs) +
                           "\nexit_code=" + std::to_string(seen.exitCode) + "\n";
  FILE* out = std::fopen(path, "wb");
  if (out == nullptr) return false;
  std::fwrite(text.data(), 1, text.size(), out);
  return std::fclose(out) == 0;
}

int Time(const char* tempDir, const char* outPath, const char* commandLine) {
  CreateDirectoryA(tempDir, nullptr);
  SetEnvironmentVariableA("TMP", tempDir);
  SetEnvironmentVariableA("TEMP", tempDir);
  std::vector<char> line(commandLine, commandLine + std::strlen(commandLine) + 1);
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  Observation seen;
  seen.startMs = NowMs();
  if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
    std::fprintf(stderr, "startup_probe: cannot start %s (error %lu)\n", commandLine, GetLastError());
    return 2;
  }
  Watch(process, &seen);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  if (!WriteObservation(outPath, seen)) {
    std::fprintf(stderr, "startup_probe: %s cannot be written\n", outPath);
    return 2;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 5 && std::strcmp(argv[1], "time") == 0) return Time(argv[2], argv[3], argv[4]);
  std::fprintf(stderr, "usage: startup_probe time TEMPDIR OUT COMMANDLINE\n");
  return 2;
}
