// Tests of the worker threads, the lock and the condition.
#include "platform/tool/worker_threads.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <vector>

namespace {

using platform_tool::LockHold;
using platform_tool::WorkCondition;
using platform_tool::WorkerThreads;
using platform_tool::WorkLock;

// Workers take items in turn and a consumer takes their results in order, at
// most a window ahead of it, as zvpack's archive writer does.
TEST(WorkerThreadsTest, WorkersHandResultsToAWaitingConsumerInOrder) {
  constexpr size_t kItems = 2000;
  constexpr size_t kWindow = 8;
  WorkLock lock;
  WorkCondition changed;
  std::vector<long> results(kItems, 0);
  std::vector<bool> done(kItems, false);
  size_t next = 0;
  size_t taken = 0;
  size_t mostAhead = 0;

  WorkerThreads workers;
  ASSERT_EQ(workers.Start(6, [&] {
    for (;;) {
      size_t index;
      {
        LockHold hold(lock);
        changed.WaitUntil(lock, [&] { return next >= kItems || next < taken + kWindow; });
        if (next >= kItems) return;
        index = next++;
        if (index - taken > mostAhead) mostAhead = index - taken;
      }
      const long value = static_cast<long>(index) * 3 + 1;
      {
        LockHold hold(lock);
        results[index] = value;
        done[index] = true;
      }
      changed.NotifyAll();
    }
  }), 6u);

  long sum = 0;
  size_t wrongAt = kItems;
  for (size_t i = 0; i < kItems; ++i) {
    long value;
    {
      LockHold hold(lock);
      changed.WaitUntil(lock, [&] { return bool(done[i]); });
      value = results[i];
      ++taken;
    }
    changed.NotifyAll();
    if (value != static_cast<long>(i) * 3 + 1 && wrongAt == kItems) wrongAt = i;
    sum += value;
  }
  workers.JoinAll();
  EXPECT_EQ(wrongAt, kItems);
  EXPECT_EQ(sum, static_cast<long>(3 * (kItems * (kItems - 1) / 2) + kItems));
  EXPECT_LT(mostAhead, kWindow);
  EXPECT_EQ(next, kItems);
}

TEST(WorkerThreadsTest, JoinAllWaitsForEveryWorkerAndCountsUnderTheLock) {
  constexpr unsigned kWorkers = 16;
  constexpr int kRounds = 5000;
  WorkLock lock;
  long counter = 0;
  unsigned finished = 0;
  WorkerThreads workers;
  ASSERT_EQ(workers.Start(kWorkers, [&] {
    for (int i = 0; i < kRounds; ++i) {
      LockHold hold(lock);
      ++counter;
    }
    LockHold hold(lock);
    ++finished;
  }), kWorkers);
  workers.JoinAll();
  EXPECT_EQ(finished, kWorkers);
  EXPECT_EQ(counter, static_cast<long>(kWorkers) * kRounds);
  workers.JoinAll();  // nothing left to join
}

TEST(WorkerThreadsTest, ADestroyedGroupHasJoinedItsWorkers) {
  WorkLock lock;
  unsigned finished = 0;
  {
    WorkerThreads workers;
    workers.Start(4, [&] {
      LockHold hold(lock);
      ++finished;
    });
  }
  EXPECT_EQ(finished, 4u);
}

TEST(WorkerThreadsTest, CountsAtLeastOneProcessor) { EXPECT_GE(platform_tool::ProcessorCount(), 1u); }

}  // namespace
