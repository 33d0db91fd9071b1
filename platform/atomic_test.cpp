#include "platform/atomic.h"

#include <gtest/gtest.h>

#include "platform/testing/parallel_runs.h"

TEST(AtomicTest, ReturnsTheNewValue) {
  volatile int32_t counter = 0;
  EXPECT_EQ(platform::AtomicIncrement(&counter), 1);
  EXPECT_EQ(platform::AtomicIncrement(&counter), 2);
  EXPECT_EQ(platform::AtomicDecrement(&counter), 1);
  EXPECT_EQ(platform::AtomicDecrement(&counter), 0);
  EXPECT_EQ(platform::AtomicDecrement(&counter), -1);
}

TEST(AtomicTest, CountsEveryStepFromSeveralThreads) {
  volatile int32_t counter = 0;
  platform::RunInParallel(4, [&counter] {
    for (int i = 0; i < 100000; ++i) {
      platform::AtomicIncrement(&counter);
      platform::AtomicIncrement(&counter);
      platform::AtomicDecrement(&counter);
    }
  });
  EXPECT_EQ(counter, 400000);
}
