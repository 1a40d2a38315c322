#include "platform/lock.h"

#include <mutex>

namespace korvex {

struct Lock::System {
  std::recursive_mutex mutex;
};

Lock::Lock() : system_(std::make_unique<System>()) {}

Lock::~Lock() = default;

void Lock::enter() { system_->mutex.lock(); }

void Lock::leave() { system_->mutex.unlock(); }

}  // namespace korvex
