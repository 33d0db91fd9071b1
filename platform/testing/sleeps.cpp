// SleepMs of the test platform library: counted, not made.
#include "platform/testing/sleeps.h"

#include "platform/clock.h"

namespace platform {
namespace {

uint64_t slept = 0;

}  // namespace

uint64_t SleptMsForTesting() { return slept; }
void ResetSleptMsForTesting() { slept = 0; }

void SleepMs(uint32_t ms) { slept += ms; }

}  // namespace platform
