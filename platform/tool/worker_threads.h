//===- worker_threads.h - Worker threads, a lock and a condition ----------===//
// For the tools' work spread over the cores (zvpack's compression): threads,
// a lock and a condition to wait on, over the system's own threads, so that
// the Windows builds (whose C++ library has no std::thread) share the code.
#ifndef VX_PLATFORM_TOOL_WORKER_THREADS_H
#define VX_PLATFORM_TOOL_WORKER_THREADS_H

#include <functional>
#include <memory>

namespace platform_tool {

// A lock that is not recursive: a thread that holds it must not take it again.
class WorkLock {
 public:
  WorkLock();
  ~WorkLock();
  WorkLock(const WorkLock&) = delete;
  WorkLock& operator=(const WorkLock&) = delete;

  void Acquire();
  void Release();

 private:
  friend class WorkCondition;
  struct State;
  std::unique_ptr<State> state_;
};

// Holds a WorkLock for its own lifetime.
class LockHold {
 public:
  explicit LockHold(WorkLock& lock) : lock_(lock) { lock_.Acquire(); }
  ~LockHold() { lock_.Release(); }
  LockHold(const LockHold&) = delete;
  LockHold& operator=(const LockHold&) = delete;

 private:
  WorkLock& lock_;
};

// A condition that threads wait on under a WorkLock.
class WorkCondition {
 public:
  WorkCondition();
  ~WorkCondition();
  WorkCondition(const WorkCondition&) = delete;
  WorkCondition& operator=(const WorkCondition&) = delete;

  // The caller holds lock; it is released while waiting and held again on
  // return. May return without a notification: wait through WaitUntil.
  void Wait(WorkLock& lock);
  // Waits, lock held as for Wait, until ready() holds; ready runs under lock.
  template <typename Ready>
  void WaitUntil(WorkLock& lock, Ready ready) {
    while (!ready()) Wait(lock);
  }
  // Wakes every waiting thread.
  void NotifyAll();

 private:
  struct State;
  std::unique_ptr<State> state_;
};

// Threads that each run the same work once. The work must not let an
// exception escape. Destroying the group joins what still runs.
class WorkerThreads {
 public:
  WorkerThreads();
  ~WorkerThreads();
  WorkerThreads(const WorkerThreads&) = delete;
  WorkerThreads& operator=(const WorkerThreads&) = delete;

  // Starts count threads running work (a copy kept until JoinAll); returns how
  // many the system started, fewer than count when it refused one. Called
  // once per group.
  unsigned Start(unsigned count, std::function<void()> work);
  // Waits until every started thread has ended.
  void JoinAll();

 private:
  struct State;
  std::unique_ptr<State> state_;
};

// The processors this process may run on, at least 1.
unsigned ProcessorCount();

}  // namespace platform_tool

#endif  // VX_PLATFORM_TOOL_WORKER_THREADS_H
