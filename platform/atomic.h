//===- atomic.h - Atomic 32-bit counters ---------------------------------===//
// Increment and decrement with the results of the Windows interlocked calls:
// the new value of the counter.
#ifndef VX_PLATFORM_ATOMIC_H
#define VX_PLATFORM_ATOMIC_H

#include <cstdint>

namespace platform {

int32_t AtomicIncrement(volatile int32_t* counter);
int32_t AtomicDecrement(volatile int32_t* counter);

}  // namespace platform

#endif  // VX_PLATFORM_ATOMIC_H
