#include "platform/lock.h"

#include <windows.h>

namespace korvex {

struct Lock::System {
  CRITICAL_SECTION section;
};

Lock::Lock() : system_(std::make_unique<System>()) { InitializeCriticalSection(&system_->section); }

Lock::~Lock() { DeleteCriticalSection(&system_->section); }

void Lock::enter() { EnterCriticalSection(&system_->section); }

void Lock::leave() { LeaveCriticalSection(&system_->section); }

}  // namespace korvex
