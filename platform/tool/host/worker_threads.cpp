// Worker threads, lock and condition over the C++ library's threads.
#include "platform/tool/worker_threads.h"

#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

namespace platform_tool {

struct WorkLock::State {
  std::mutex mutex;
};

WorkLock::WorkLock() : state_(new State) {}
WorkLock::~WorkLock() = default;
void WorkLock::Acquire() { state_->mutex.lock(); }
void WorkLock::Release() { state_->mutex.unlock(); }

struct WorkCondition::State {
  std::condition_variable condition;
};

WorkCondition::WorkCondition() : state_(new State) {}
WorkCondition::~WorkCondition() = default;

void WorkCondition::Wait(WorkLock& lock) {
  // The caller holds the mutex before and after; the unique_lock only lends it to the wait.
  std::unique_lock<std::mutex> held(lock.state_->mutex, std::adopt_lock);
  state_->condition.wait(held);
  held.release();
}

void WorkCondition::NotifyAll() { state_->condition.notify_all(); }

struct WorkerThreads::State {
  std::function<void()> work;
  std::vector<std::thread> threads;
};

WorkerThreads::WorkerThreads() : state_(new State) {}
WorkerThreads::~WorkerThreads() { JoinAll(); }

unsigned WorkerThreads::Start(unsigned count, std::function<void()> work) {
  state_->work = std::move(work);
  try {
    while (state_->threads.size() < count) state_->threads.emplace_back(std::ref(state_->work));
  } catch (const std::system_error&) {
    // The system refused a thread: the ones started carry the work.
  }
  return static_cast<unsigned>(state_->threads.size());
}

void WorkerThreads::JoinAll() {
  for (std::thread& thread : state_->threads) thread.join();
  state_->threads.clear();
}

unsigned ProcessorCount() {
  const unsigned count = std::thread::hardware_concurrency();
  return count != 0 ? count : 1;
}

}  // namespace platform_tool
