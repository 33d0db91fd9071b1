// first_paint_window: the baseline of the start-up benchmark, about the least a Windows GUI
// program does before it shows a picture.
//
// usage: first_paint_window OUT
//
// Opens a modeless dialog (class "#32770", a bordered popup like the launcher's splash, its
// client area the splash picture's 480 by 350 pixels), paints vertical stripes once, writes
// "paint_ms=" with the wall clock at the end of that first paint (milliseconds since 1970 UTC)
// to OUT, keeps the window half a second so that a watcher sees it, adds "gone_ms=" with the
// clock just before it destroys the window, and exits 0. Everything from gone_ms to the
// process's end is the window system's and the process exit's: what a program that shows a
// window pays at its end under the system at hand.
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <cstring>

namespace {

constexpr int kWidth = 480;
constexpr int kHeight = 350;
constexpr int kStripeWidth = 16;
constexpr UINT kLingerMs = 500;

const char* outPath = nullptr;
bool painted = false;

double NowMs() {
  using std::chrono::duration;
  using std::chrono::system_clock;
  return duration<double, std::milli>(system_clock::now().time_since_epoch()).count();
}

// Writes "KEY=MS" as OUT's first line (mode "wb") or as one more ("ab").
void RecordMoment(const char* key, double ms, const char* mode) {
  FILE* out = std::fopen(outPath, mode);
  if (out == nullptr) return;
  std::fprintf(out, "%s=%.3f\n", key, ms);
  std::fclose(out);
}

void PaintStripes(HWND window) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(window, &paint);
  HBRUSH dark = CreateSolidBrush(RGB(20, 40, 90));
  HBRUSH light = CreateSolidBrush(RGB(230, 200, 60));
  for (int x = 0; x < kWidth; x += kStripeWidth) {
    RECT stripe{x, 0, x + kStripeWidth, kHeight};
    FillRect(dc, &stripe, (x / kStripeWidth) % 2 == 0 ? dark : light);
  }
  DeleteObject(dark);
  DeleteObject(light);
  EndPaint(window, &paint);
  if (painted) return;
  painted = true;
  RecordMoment("paint_ms", NowMs(), "wb");
  SetTimer(window, 1, kLingerMs, nullptr);
}

// Client area of the picture's size, centred, shown: what the splash's initialisation does.
void Place(HWND window) {
  RECT client;
  RECT outer;
  GetClientRect(window, &client);
  GetWindowRect(window, &outer);
  const int width = kWidth + (outer.right - outer.left) - (client.right - client.left);
  const int height = kHeight + (outer.bottom - outer.top) - (client.bottom - client.top);
  const int x = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
  const int y = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
  SetWindowPos(window, HWND_NOTOPMOST, x, y, width, height, SWP_SHOWWINDOW);
}

INT_PTR CALLBACK BaselineDlgProc(HWND window, UINT message, WPARAM, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      Place(window);
      return 1;
    case WM_PAINT:
      PaintStripes(window);
      return 1;
    case WM_TIMER:
      RecordMoment("gone_ms", NowMs(), "ab");
      DestroyWindow(window);
      PostQuitMessage(0);
      return 1;
    default:
      return 0;
  }
}

// A dialog template without controls, menu, class or title: the header and three zero words.
struct alignas(4) EmptyDialogTemplate {
  unsigned char header[sizeof(DLGTEMPLATE)];
  WORD trailer[3];
};

HWND CreateBaselineDialog(HINSTANCE instance) {
  DLGTEMPLATE header{};
  header.style = WS_POPUP | WS_BORDER;
  header.cx = 100;
  header.cy = 100;
  EmptyDialogTemplate dialog{};
  std::memcpy(dialog.header, &header, sizeof header);
  return CreateDialogIndirectParamA(instance, reinterpret_cast<const DLGTEMPLATE*>(&dialog), nullptr,
                                    BaselineDlgProc, 0);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: first_paint_window OUT\n");
    return 2;
  }
  outPath = argv[1];
  if (CreateBaselineDialog(GetModuleHandleA(nullptr)) == nullptr) return 1;
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) DispatchMessageA(&message);
  return painted ? 0 : 1;
}
