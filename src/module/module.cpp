#include "module/module.h"

#include <memory>
#include <utility>

namespace korvex {
namespace {

// Plain pointers, set by load and unload alone: they need no static set-up
// or clean-up of their own, which the runtime runs only once per image (an
// image pinned while unloading and loaded again does not run it again).
constinit Lock* exports_lock = nullptr;
constinit Module* current_module = nullptr;

}  // namespace

void load_module(Platform& platform) {
  auto lock = std::make_unique<Lock>();
  auto module = std::make_unique<Module>(platform);
  exports_lock = lock.release();
  current_module = module.release();
}

// No lock: by the host's contract (module.h) no export runs now.
void unload_module() {
  delete std::exchange(current_module, nullptr);
  delete std::exchange(exports_lock, nullptr);
}

Module* loaded_module() { return current_module; }

Lock* module_lock() { return exports_lock; }

}  // namespace korvex
