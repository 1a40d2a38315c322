// A thread for the Windows tests, over CreateThread: the win32 thread model
// of the cross compilers, which the DLL needs to load on XP, has no
// std::thread.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <utility>

namespace korvex::tests {

class Thread {
 public:
  Thread() = default;
  explicit Thread(std::function<void()> body)
      : body_(std::make_unique<std::function<void()>>(std::move(body))),
        handle_(CreateThread(nullptr, 0, &run, body_.get(), 0, nullptr)) {}
  ~Thread() { join(); }
  Thread(Thread&& other) noexcept
      : body_(std::move(other.body_)), handle_(std::exchange(other.handle_, nullptr)) {}
  // The thread held so far is joined before the other one is taken over.
  Thread& operator=(Thread&& other) noexcept {
    if (this != &other) {
      join();
      body_ = std::move(other.body_);
      handle_ = std::exchange(other.handle_, nullptr);
    }
    return *this;
  }

  bool joinable() const { return handle_ != nullptr; }
  void join() {
    if (handle_ == nullptr) return;
    WaitForSingleObject(handle_, INFINITE);
    CloseHandle(std::exchange(handle_, nullptr));
  }

 private:
  static DWORD WINAPI run(void* body) {
    (*static_cast<std::function<void()>*>(body))();
    return 0;
  }

  std::unique_ptr<std::function<void()>> body_;
  HANDLE handle_ = nullptr;
};

}  // namespace korvex::tests
