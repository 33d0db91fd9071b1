// Windows millisecond clock: the multimedia timer. Only Windows code belongs in platform/win.
#include "platform/clock.h"

#include <windows.h>
#include <mmsystem.h>

namespace platform {

uint32_t TimeGetTime() { return timeGetTime(); }

}  // namespace platform
