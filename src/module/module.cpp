#include "module/module.h"

#include <memory>

namespace korvex {
namespace {

std::unique_ptr<Module>& module_slot() {
  static std::unique_ptr<Module> module;
  return module;
}

}  // namespace

void load_module(Platform& platform) { module_slot() = std::make_unique<Module>(platform); }

void unload_module() { module_slot().reset(); }

Module* loaded_module() { return module_slot().get(); }

}  // namespace korvex
