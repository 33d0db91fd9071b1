// Windows atomics: the interlocked calls themselves. Only Windows code belongs in platform/win.
#include "platform/atomic.h"

#include <windows.h>

static_assert(sizeof(LONG) == sizeof(int32_t), "LONG is 32 bits on every Windows target");

namespace platform {

int32_t AtomicIncrement(volatile int32_t* counter) {
  return InterlockedIncrement(reinterpret_cast<volatile LONG*>(counter));
}

int32_t AtomicDecrement(volatile int32_t* counter) {
  return InterlockedDecrement(reinterpret_cast<volatile LONG*>(counter));
}

}  // namespace platform
