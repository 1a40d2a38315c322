// Owns one open device handle and closes it on every way out of the scope
// that opened it, leaving the thread's last-error code as it was. CreateFileA
// reports failure as INVALID_HANDLE_VALUE, not 0, so that is the empty value
// here.
#pragma once

#include <utility>

#include "platform/kept_last_error.h"
#include "platform/platform.h"

namespace korvex {

class UniqueDeviceHandle {
 public:
  UniqueDeviceHandle(Platform& platform, DeviceHandle handle)
      : platform_(&platform), handle_(handle) {}
  ~UniqueDeviceHandle() { close(); }

  UniqueDeviceHandle(UniqueDeviceHandle&& other) noexcept
      : platform_(other.platform_), handle_(std::exchange(other.handle_, kInvalidDeviceHandle)) {}

  // The handle held so far is closed before the other one is taken over.
  UniqueDeviceHandle& operator=(UniqueDeviceHandle&& other) noexcept {
    if (this != &other) {
      close();
      platform_ = other.platform_;
      handle_ = std::exchange(other.handle_, kInvalidDeviceHandle);
    }
    return *this;
  }

  UniqueDeviceHandle(const UniqueDeviceHandle&) = delete;
  UniqueDeviceHandle& operator=(const UniqueDeviceHandle&) = delete;

  explicit operator bool() const { return handle_ != kInvalidDeviceHandle; }
  DeviceHandle get() const { return handle_; }

 private:
  void close() {
    if (handle_ == kInvalidDeviceHandle) return;
    const KeptLastError kept(*platform_);
    platform_->close_handle(std::exchange(handle_, kInvalidDeviceHandle));
  }

  Platform* platform_;
  DeviceHandle handle_;
};

}  // namespace korvex
