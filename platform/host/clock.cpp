// Host millisecond clock. Only generic POSIX code belongs in platform/host.
#include "platform/clock.h"

#include "platform/common/wrappable.h"

#include <time.h>

namespace platform {

uint32_t TimeGetTime() {
  timespec now;
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<uint32_t>(static_cast<uint64_t>(now.tv_sec) * 1000u +
                               static_cast<uint64_t>(now.tv_nsec) / 1000000u);
}

void VX_PLATFORM_ENTRY(SleepMs)(uint32_t ms) {
  timespec wait{static_cast<time_t>(ms / 1000), static_cast<long>(ms % 1000) * 1000000L};
  while (nanosleep(&wait, &wait) != 0) {
  }
}

}  // namespace platform
