//===- sleeps.h - Waits counted instead of made (tests only) --------------===//
// The test platform library stands in for SleepMs of clock.h: it does not wait
// and adds the milliseconds to a process-wide sum, so that tests of steps that
// are tried again after a pause run at once and can see how long they paused.
#ifndef VX_PLATFORM_TESTING_SLEEPS_H
#define VX_PLATFORM_TESTING_SLEEPS_H

#include <cstdint>

namespace platform {

// The milliseconds that SleepMs was asked for since the last reset.
uint64_t SleptMsForTesting();
void ResetSleptMsForTesting();

}  // namespace platform

#endif  // VX_PLATFORM_TESTING_SLEEPS_H
