// The lock that makes the module's exports run one at a time: one thread
// holds it, others wait, and the holder may take it again. A critical section
// in the DLL (Windows XP has no slimmer lock; SRW locks came with Vista), the
// standard library's recursive mutex in the native build.
#pragma once

#include <memory>

namespace korvex {

class Lock {
 public:
  Lock();
  ~Lock();
  Lock(const Lock&) = delete;
  Lock& operator=(const Lock&) = delete;

  // Holds the lock from its construction to its destruction.
  class Held {
   public:
    explicit Held(Lock& lock) : lock_(lock) { lock_.enter(); }
    ~Held() { lock_.leave(); }
    Held(const Held&) = delete;
    Held& operator=(const Held&) = delete;

   private:
    Lock& lock_;
  };

 private:
  void enter();
  void leave();

  struct System;  // the system's lock object, behind this header
  std::unique_ptr<System> system_;
};

}  // namespace korvex
