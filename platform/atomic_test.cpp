#include "platform/atomic.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

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
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&counter] {
      for (int i = 0; i < 100000; ++i) {
        platform::AtomicIncrement(&counter);
        platform::AtomicIncrement(&counter);
        platform::AtomicDecrement(&counter);
      }
    });
  }
  for (auto& thread : threads) thread.join();
  EXPECT_EQ(counter, 400000);
}
