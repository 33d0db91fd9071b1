#include "platform/clock.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

TEST(ClockTest, CountsMilliseconds) {
  uint32_t start = platform::TimeGetTime();
  std::this_thread::sleep_for(std::chrono::milliseconds(30));
  uint32_t elapsed = platform::TimeGetTime() - start;  // unsigned: right across a wrap
  EXPECT_GE(elapsed, 20u);
  EXPECT_LT(elapsed, 5000u);
}
