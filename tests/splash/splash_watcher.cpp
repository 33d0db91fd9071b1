// splash_watcher SCENARIO LANG [SHOT.bmp]: starts splash_demo from its own folder and checks the
// splash from outside, through the window system and the screen.
//   close     placement; painted pixels against splash.bmp in the current folder (saved to
//             SHOT.bmp, the screen with the first confirmation box to SHOT_screen.bmp); Esc
//             and focus loss leave it open; a close request shows messages 0 and 1 of LANG;
//             No keeps it, Yes ends the process with 0.
//   launched  the demo marks the stage launched: losing the focus ends the splash.
//   cancel    WM_COMMAND IDCANCEL with a notification code does nothing; plain IDCANCEL ends it.
// Every wait is bounded; on any failure the demo is killed and the exit code is 1.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "launcher/messages.h"
#include "tests/support/visible_dialog.h"

namespace {

PROCESS_INFORMATION demo{};
int failures = 0;

void Check(bool ok, const char* what) {
  std::printf("%s: %s\n", ok ? "ok  " : "FAIL", what);
  std::fflush(stdout);
  if (!ok) ++failures;
}

[[noreturn]] void Abort(const char* what) {
  Check(false, what);
  if (demo.hProcess) TerminateProcess(demo.hProcess, 99);
  std::exit(1);
}

bool DemoRunning() { return WaitForSingleObject(demo.hProcess, 0) == WAIT_TIMEOUT; }

// The first visible dialog of the demo other than `exclude`, waiting up to `ms`.
HWND WaitForDialog(HWND exclude, DWORD ms) {
  const DWORD start = GetTickCount();
  do {
    if (HWND found = test_support::FindVisibleDialog(demo.dwProcessId, exclude)) return found;
    Sleep(50);
  } while (GetTickCount() - start < ms);
  return nullptr;
}

void StartDemo(const char* argument) {
  char path[MAX_PATH];
  DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
  while (n > 0 && path[n - 1] != '\\' && path[n - 1] != '/') --n;
  path[n] = 0;
  std::string command = std::string("\"") + path + "splash_demo.exe\" " + argument;
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  std::vector<char> line(command.begin(), command.end());
  line.push_back(0);
  if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &demo)) {
    Abort("start splash_demo.exe");
  }
}

DWORD WaitForExit(DWORD ms) {
  if (WaitForSingleObject(demo.hProcess, ms) != WAIT_OBJECT_0) return STILL_ACTIVE;
  DWORD code = 0;
  GetExitCodeProcess(demo.hProcess, &code);
  return code;
}

// The picture's colours, top row first, from a BMP file of 8 bits per pixel.
bool ReadPicture(const char* file, int* width, int* height, std::vector<COLORREF>* colours) {
  FILE* f = std::fopen(file, "rb");
  if (!f) return false;
  std::vector<unsigned char> data;
  unsigned char buffer[65536];
  size_t got;
  while ((got = std::fread(buffer, 1, sizeof buffer, f)) > 0) data.insert(data.end(), buffer, buffer + got);
  std::fclose(f);
  if (data.size() < 14 + 40 + 1024) return false;
  auto u32 = [&](size_t at) {
    return static_cast<uint32_t>(data[at] | (data[at + 1] << 8) | (data[at + 2] << 16) |
                                 (data[at + 3] << 24));
  };
  const uint32_t offset = u32(10);
  *width = static_cast<int>(u32(18));
  *height = static_cast<int>(u32(22));
  const size_t stride = (static_cast<size_t>(*width) + 3) & ~size_t{3};
  if (data.size() < offset + stride * static_cast<size_t>(*height)) return false;
  colours->resize(static_cast<size_t>(*width) * static_cast<size_t>(*height));
  for (int y = 0; y < *height; ++y) {
    const unsigned char* row = &data[offset + stride * static_cast<size_t>(*height - 1 - y)];
    for (int x = 0; x < *width; ++x) {
      const unsigned char* entry = &data[14 + 40 + 4 * row[x]];
      (*colours)[static_cast<size_t>(y) * static_cast<size_t>(*width) + static_cast<size_t>(x)] =
          RGB(entry[2], entry[1], entry[0]);
    }
  }
  return true;
}

// A part of the screen, top row first; saved as a 24-bit BMP to `shot` unless that is null.
std::vector<COLORREF> CaptureScreen(POINT origin, int width, int height, const char* shot) {
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, screen, origin.x, origin.y, SRCCOPY);
  GdiFlush();
  const unsigned char* pixels = static_cast<const unsigned char*>(bits);
  std::vector<COLORREF> colours(static_cast<size_t>(width) * static_cast<size_t>(height));
  for (size_t i = 0; i < colours.size(); ++i) {
    colours[i] = RGB(pixels[4 * i + 2], pixels[4 * i + 1], pixels[4 * i]);
  }
  if (shot && *shot) {
    if (FILE* f = std::fopen(shot, "wb")) {
      const size_t stride = (static_cast<size_t>(width) * 3 + 3) & ~size_t{3};
      const uint32_t image = static_cast<uint32_t>(stride * static_cast<size_t>(height));
      BITMAPFILEHEADER file{};
      file.bfType = 0x4D42;
      file.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
      file.bfSize = file.bfOffBits + image;
      BITMAPINFOHEADER header = info.bmiHeader;
      header.biHeight = height;
      header.biBitCount = 24;
      header.biSizeImage = image;
      std::fwrite(&file, sizeof file, 1, f);
      std::fwrite(&header, sizeof header, 1, f);
      std::vector<unsigned char> row(stride);
      for (int y = height - 1; y >= 0; --y) {
        for (int x = 0; x < width; ++x) {
          const unsigned char* p = pixels + 4 * (static_cast<size_t>(y) * width + x);
          row[3 * x] = p[0];
          row[3 * x + 1] = p[1];
          row[3 * x + 2] = p[2];
        }
        std::fwrite(row.data(), 1, stride, f);
      }
      std::fclose(f);
    }
  }
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return colours;
}

// The client area as the screen shows it.
std::vector<COLORREF> CaptureClient(HWND window, int width, int height, const char* shot) {
  POINT origin{0, 0};
  ClientToScreen(window, &origin);
  return CaptureScreen(origin, width, height, shot);
}

std::string screenShot;  // where the whole screen goes while the first confirmation box is up

const char* Column(const MessageEntry& entry, const std::string& lang) {
  if (lang == "de") return entry.german;
  if (lang == "fr") return entry.french;
  if (lang == "it") return entry.italian;
  return entry.english;
}

// Posts a close request and answers the confirmation box with `answer`, after checking its
// caption and text.
void CloseAndAnswer(HWND splash, const std::string& lang, int answer) {
  const char* caption = Column(kMessageTable[kMsgCaption], lang);
  const char* text = Column(kMessageTable[kMsgConfirmClose], lang);
  PostMessageA(splash, WM_CLOSE, 0, 0);
  // FindWindowA("#32770", caption) names the box, but a hidden window of the same class and
  // title may stand before it in the z order; take the visible one of the demo.
  HWND box = nullptr;
  for (int i = 0; i < 100 && !box; ++i) {
    for (HWND candidate = FindWindowA("#32770", caption); candidate && !box;
         candidate = FindWindowExA(nullptr, candidate, "#32770", caption)) {
      DWORD pid = 0;
      GetWindowThreadProcessId(candidate, &pid);
      if (pid == demo.dwProcessId && candidate != splash && IsWindowVisible(candidate))
        box = candidate;
    }
    if (!box) Sleep(100);
  }
  if (!box) Abort("a confirmation box with the caption of message 0 appears");
  Check(true, "a confirmation box with the caption of message 0 appears");
  // The box may be found while it is still being built: wait for it to show its text.
  char shown[1024] = "";
  for (int i = 0; i < 100; ++i) {
    if (IsWindowVisible(box) && GetDlgItemTextA(box, 0xFFFF, shown, sizeof shown) > 0) break;
    Sleep(100);
  }
  Check(std::strcmp(shown, text) == 0, "its text is message 1 in the user's language");
  if (!screenShot.empty()) {
    CaptureScreen(POINT{0, 0}, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
                  screenShot.c_str());
    screenShot.clear();
  }
  if (std::strcmp(shown, text) != 0) std::printf("  shown: [%s]\n  want:  [%s]\n", shown, text);
  PostMessageA(box, WM_COMMAND, static_cast<WPARAM>(answer), 0);
}

void Scenario(const std::string& scenario, const std::string& lang, const char* shot) {
  std::printf("user language 0x%04x, system language 0x%04x\n", GetUserDefaultLangID(),
              GetSystemDefaultLangID());
  StartDemo(scenario == "launched" ? "launched" : "");
  HWND splash = WaitForDialog(nullptr, 20000);
  if (!splash) Abort("the splash appears");
  Check(true, "the splash appears");
  Sleep(700);  // its first paint

  if (scenario == "close") {
    RECT outer;
    RECT client;
    GetWindowRect(splash, &outer);
    GetClientRect(splash, &client);
    const int w = outer.right - outer.left;
    const int h = outer.bottom - outer.top;
    std::printf("  outer %dx%d at %ld,%ld; client %ldx%ld; screen %dx%d\n", w, h, outer.left,
                outer.top, client.right, client.bottom, GetSystemMetrics(SM_CXSCREEN),
                GetSystemMetrics(SM_CYSCREEN));
    Check(client.right == 480 && client.bottom == 350, "the client area is the picture's size");
    Check(w == 482 && h == 352, "the outer size is 482x352 (a one-pixel border)");
    Check(outer.left == (GetSystemMetrics(SM_CXSCREEN) - w) / 2 &&
              outer.top == (GetSystemMetrics(SM_CYSCREEN) - h) / 2,
          "the splash is centred on the screen");

    int width = 0;
    int height = 0;
    std::vector<COLORREF> want;
    if (!ReadPicture("splash.bmp", &width, &height, &want)) Abort("read splash.bmp");
    size_t wrong = 0;
    for (int attempt = 0; attempt < 20; ++attempt) {
      const std::vector<COLORREF> seen = CaptureClient(splash, width, height, shot);
      wrong = 0;
      for (size_t i = 0; i < want.size(); ++i) wrong += seen[i] != want[i];
      if (wrong == 0) break;
      Sleep(250);
    }
    std::printf("  %zu of %zu pixels differ\n", wrong, want.size());
    Check(wrong == 0, "the client area shows the picture's pixels");

    SetForegroundWindow(splash);
    keybd_event(VK_ESCAPE, 0, 0, 0);
    keybd_event(VK_ESCAPE, 0, KEYEVENTF_KEYUP, 0);
    PostMessageA(splash, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
    PostMessageA(splash, WM_KEYUP, VK_ESCAPE, static_cast<LPARAM>(0xC0010001u));
    Sleep(700);
    Check(DemoRunning() && IsWindowVisible(splash), "Esc leaves the splash open");

    PostMessageA(splash, WM_KILLFOCUS, 0, 0);
    Sleep(500);
    Check(DemoRunning() && IsWindowVisible(splash),
          "losing the focus before the stage is launched leaves it open");

    CloseAndAnswer(splash, lang, IDNO);
    Sleep(700);
    Check(DemoRunning() && IsWindowVisible(splash), "No keeps the splash and the program");
    Check(WaitForDialog(splash, 0) == nullptr, "the confirmation box has gone");

    CloseAndAnswer(splash, lang, IDYES);
    const DWORD code = WaitForExit(10000);
    std::printf("  exit code %lu\n", code);
    Check(code == 0, "Yes ends the process with exit code 0");
  } else if (scenario == "launched") {
    PostMessageA(splash, WM_KILLFOCUS, 0, 0);
    const DWORD code = WaitForExit(10000);
    Check(code == 10, "losing the focus after the stage is launched ends the splash");
  } else if (scenario == "cancel") {
    PostMessageA(splash, WM_COMMAND, MAKEWPARAM(IDCANCEL, 1), 0);
    Sleep(700);
    Check(DemoRunning() && IsWindowVisible(splash), "IDCANCEL with a notification code does nothing");
    PostMessageA(splash, WM_COMMAND, IDCANCEL, 0);
    const DWORD code = WaitForExit(10000);
    Check(code == 10, "IDCANCEL ends the splash");
  } else {
    Abort("unknown scenario");
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: splash_watcher close|launched|cancel en|de|fr|it [shot.bmp]\n");
    return 2;
  }
  const char* shot = argc > 3 ? argv[3] : nullptr;
  if (shot) {
    // SHOT.bmp gets the splash's client area, SHOT_screen.bmp the screen with the box.
    screenShot = shot;
    const size_t dot = screenShot.rfind('.');
    screenShot = screenShot.substr(0, dot) + "_screen.bmp";
  }
  Scenario(argv[1], argv[2], shot);
  if (DemoRunning()) TerminateProcess(demo.hProcess, 99);
  std::printf("%d failure(s)\n", failures);
  return failures ? 1 : 0;
}
