// The window-system steps of the launcher's entry function.
#include "launcher/gui/entry_steps.h"

#include "launcher/gui/message_pump.h"
#include "launcher/gui/splash.h"
#include "launcher/launcher_flags.h"
#include "launcher/messages.h"
#include "platform/clock.h"

#include <windows.h>

namespace {

constexpr uint32_t kFinalWaitMs = 5000;

}  // namespace

bool BringOpenSetupToFront() {
  HWND open = FindWindowA("AfxFrameOrView42", "Zelvora Setup");
  if (open == nullptr) return false;
  if (IsIconic(open)) ShowWindow(open, SW_RESTORE);
  SetForegroundWindow(open);
  return true;
}

void ShowSplashAndWaitForPaint() {
  waitingForPaint = 1;
  splashWindow = ShowSplash();
  while (waitingForPaint != 0) PumpOneMessage();
}

void ShowLauncherMessage(const char* text) {
  MessageBoxA(nullptr, text, GetMessageText(kMsgCaption), MB_TOPMOST);
}

void CloseSplashAndWait() {
  DestroyWindow(static_cast<HWND>(splashWindow));
  // The plain unsigned comparison: the wait ends as soon as start + 5000 is not
  // above now. Within 5 s of the clock's wrap that is at once, which only
  // shortens the wait.
  const uint32_t end = platform::TimeGetTime() + kFinalWaitMs;
  while (splashOpen != 0 && platform::TimeGetTime() < end) PumpOneMessage();
}

void CloseSplashNow() {
  if (splashWindow != nullptr) DestroyWindow(static_cast<HWND>(splashWindow));
  splashWindow = nullptr;
  splashOpen = 0;
}
