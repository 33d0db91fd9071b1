// GoogleTest's customisation hook (gtest/internal/custom/gtest-port.h), found before the
// installed one. The C++ library of the win32 thread-model toolchain has no std::mutex or
// std::condition_variable, which GoogleTest's own Notification is built on; there it is a
// Win32 event instead. Everything else of GoogleTest's threading is Win32 already.
#ifndef VX_TESTS_SUPPORT_GTEST_CUSTOM_PORT_H
#define VX_TESTS_SUPPORT_GTEST_CUSTOM_PORT_H

#include <cstddef>  // the library's configuration: whether it has the gthreads

#if defined(__MINGW32__) && !defined(_GLIBCXX_HAS_GTHREADS)
#include <windows.h>

namespace testing {
namespace internal {

// Lets a controlling thread hold back threads it started until it notifies them.
class Notification {
 public:
  Notification() : event_(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}
  ~Notification() { CloseHandle(event_); }
  Notification(const Notification&) = delete;
  Notification& operator=(const Notification&) = delete;

  void Notify() { SetEvent(event_); }
  void WaitForNotification() { WaitForSingleObject(event_, INFINITE); }

 private:
  HANDLE event_;
};

}  // namespace internal
}  // namespace testing

#define GTEST_HAS_NOTIFICATION_ 1
#endif

#endif  // VX_TESTS_SUPPORT_GTEST_CUSTOM_PORT_H
