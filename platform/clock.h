//===- clock.h - Millisecond clock ---------------------------------------===//
#ifndef VX_PLATFORM_CLOCK_H
#define VX_PLATFORM_CLOCK_H

#include <cstdint>

namespace platform {

// Milliseconds since some fixed moment, wrapping at 2^32 (timeGetTime). Only
// differences and seeds are taken from it.
uint32_t TimeGetTime();

}  // namespace platform

#endif  // VX_PLATFORM_CLOCK_H
