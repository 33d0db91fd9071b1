// Windows millisecond clock: the multimedia timer. Only Windows code belongs in platform/win.
#include "platform/clock.h"

#include "platform/common/wrappable.h"
#include "platform/win/system_library.h"

#include <windows.h>

namespace platform {

namespace {

using TimeGetTimeFunction = DWORD(WINAPI*)();

// winmm is not one of the libraries the system always takes from its own folder, so a static
// import would let a winmm.dll beside the setup program load first. It is loaded from the
// system folder on first use instead; without it the tick count stands in, which has the same
// unit and wraps the same way.
TimeGetTimeFunction FindTimeGetTime() {
  return internal::FindFunction<TimeGetTimeFunction>(internal::LoadSystemLibrary("winmm.dll"),
                                                     "timeGetTime");
}

// Looked up at the first call. The launcher asks from one thread, so a plain flag does
// (a guarded local static would link the C++ runtime's thread-safe initialisation).
bool looked = false;
TimeGetTimeFunction timeGetTime = nullptr;

}  // namespace

uint32_t TimeGetTime() {
  if (!looked) {
    timeGetTime = FindTimeGetTime();
    looked = true;
  }
  return timeGetTime != nullptr ? timeGetTime() : GetTickCount();
}

void VX_PLATFORM_ENTRY(SleepMs)(uint32_t ms) { Sleep(ms); }

}  // namespace platform
