// Host atomics: only generic POSIX/compiler code belongs in platform/host.
#include "platform/atomic.h"

namespace platform {

int32_t AtomicIncrement(volatile int32_t* counter) {
  return __atomic_add_fetch(counter, 1, __ATOMIC_SEQ_CST);
}

int32_t AtomicDecrement(volatile int32_t* counter) {
  return __atomic_sub_fetch(counter, 1, __ATOMIC_SEQ_CST);
}

}  // namespace platform
