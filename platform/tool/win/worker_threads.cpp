// Worker threads, lock and condition over Windows' own: slim reader/writer
// locks and condition variables (Windows 7's floor), threads started through
// the C runtime so that its per-thread state is set up for them.
#include "platform/tool/worker_threads.h"

#include <windows.h>
#include <process.h>

#include <vector>

namespace platform_tool {

struct WorkLock::State {
  SRWLOCK lock = SRWLOCK_INIT;
};

WorkLock::WorkLock() : state_(new State) {}
WorkLock::~WorkLock() = default;
void WorkLock::Acquire() { AcquireSRWLockExclusive(&state_->lock); }
void WorkLock::Release() { ReleaseSRWLockExclusive(&state_->lock); }

struct WorkCondition::State {
  CONDITION_VARIABLE condition = CONDITION_VARIABLE_INIT;
};

WorkCondition::WorkCondition() : state_(new State) {}
WorkCondition::~WorkCondition() = default;

void WorkCondition::Wait(WorkLock& lock) {
  SleepConditionVariableSRW(&state_->condition, &lock.state_->lock, INFINITE, 0);
}

void WorkCondition::NotifyAll() { WakeAllConditionVariable(&state_->condition); }

struct WorkerThreads::State {
  std::function<void()> work;
  std::vector<HANDLE> threads;
};

namespace {

unsigned __stdcall RunWork(void* work) {
  (*static_cast<std::function<void()>*>(work))();
  return 0;
}

}  // namespace

WorkerThreads::WorkerThreads() : state_(new State) {}
WorkerThreads::~WorkerThreads() { JoinAll(); }

unsigned WorkerThreads::Start(unsigned count, std::function<void()> work) {
  state_->work = std::move(work);
  state_->threads.reserve(count);
  while (state_->threads.size() < count) {
    const uintptr_t thread = _beginthreadex(nullptr, 0, RunWork, &state_->work, 0, nullptr);
    if (thread == 0) break;  // the system refused a thread: the ones started carry the work
    state_->threads.push_back(reinterpret_cast<HANDLE>(thread));
  }
  return static_cast<unsigned>(state_->threads.size());
}

void WorkerThreads::JoinAll() {
  for (HANDLE thread : state_->threads) {
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
  }
  state_->threads.clear();
}

unsigned ProcessorCount() {
  // Every processor group's, as std::thread::hardware_concurrency counts on the host.
  DWORD count = GetActiveProcessorCount(ALL_PROCESSOR_GROUPS);
  if (count == 0) {
    SYSTEM_INFO info;
    GetSystemInfo(&info);
    count = info.dwNumberOfProcessors;
  }
  return count != 0 ? count : 1;
}

}  // namespace platform_tool
