//===- parallel_runs.h - Test helper: one body on several threads at once ------===//
// For the tests of what must hold under concurrency (the atomic counters, the string's
// shared blocks). The Windows builds use the win32 thread-model toolchain, whose C++
// library has no std::thread, so there the threads are the system's own.
#ifndef VX_PLATFORM_TESTING_PARALLEL_RUNS_H
#define VX_PLATFORM_TESTING_PARALLEL_RUNS_H

#include <cstdlib>
#include <functional>
#include <vector>

#if defined(_WIN32)
#include <windows.h>
#else
#include <thread>
#endif

namespace platform {

#if defined(_WIN32)
namespace parallel_runs_detail {
inline DWORD WINAPI RunBody(LPVOID body) {
  (*static_cast<const std::function<void()>*>(body))();
  return 0;
}
}  // namespace parallel_runs_detail
#endif

// Runs body on count threads started together; returns when every one has ended.
inline void RunInParallel(int count, const std::function<void()>& body) {
#if defined(_WIN32)
  std::vector<HANDLE> threads;
  for (int i = 0; i < count; ++i) {
    HANDLE thread = CreateThread(nullptr, 0, parallel_runs_detail::RunBody,
                                 const_cast<std::function<void()>*>(&body), 0, nullptr);
    if (thread == nullptr) std::abort();  // fewer threads would test less than asked
    threads.push_back(thread);
  }
  for (HANDLE thread : threads) {
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
  }
#else
  std::vector<std::thread> threads;
  for (int i = 0; i < count; ++i) threads.emplace_back(body);
  for (std::thread& thread : threads) thread.join();
#endif
}

}  // namespace platform

#endif  // VX_PLATFORM_TESTING_PARALLEL_RUNS_H
