// Host millisecond clock. Only generic POSIX code belongs in platform/host.
#include "platform/clock.h"

#include <time.h>

namespace platform {

uint32_t TimeGetTime() {
  timespec now;
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<uint32_t>(static_cast<uint64_t>(now.tv_sec) * 1000u +
                               static_cast<uint64_t>(now.tv_nsec) / 1000000u);
}

}  // namespace platform
