//===- clock.h - Millisecond clock and waiting ---------------------------===//
#ifndef VX_PLATFORM_CLOCK_H
#define VX_PLATFORM_CLOCK_H

#include <cstdint>

namespace platform {

// Milliseconds since some fixed moment, wrapping at 2^32 (timeGetTime). Only
// differences and seeds are taken from it.
uint32_t TimeGetTime();

// Sleep(ms): lets ms milliseconds pass. The tests' platform library only counts
// them (platform/testing/sleeps.h).
void SleepMs(uint32_t ms);

}  // namespace platform

#endif  // VX_PLATFORM_CLOCK_H
