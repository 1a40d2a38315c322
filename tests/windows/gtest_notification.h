// GoogleTest's Notification over a Win32 manual-reset event. The win32 thread
// model's C++ library has no std::condition_variable, which GoogleTest's own
// Notification (its only use of one) is built on; defining
// GTEST_HAS_NOTIFICATION_ makes it take this one. Force-included into
// GoogleTest and every program that uses it (tests/CMakeLists.txt).
#pragma once

#include <windows.h>

namespace testing::internal {

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

}  // namespace testing::internal

#define GTEST_HAS_NOTIFICATION_ 1
