// The module loaded on a platform for one test case, as the exports find it:
// what a host's LoadLibrary and FreeLibrary would do.
#pragma once

#include "module/module.h"

namespace korvex::tests {

class LoadedModule {
 public:
  explicit LoadedModule(Platform& platform) { load_module(platform); }
  ~LoadedModule() { unload_module(); }
  LoadedModule(const LoadedModule&) = delete;
  LoadedModule& operator=(const LoadedModule&) = delete;

  Module& operator*() const { return *loaded_module(); }
  Module* operator->() const { return loaded_module(); }
};

}  // namespace korvex::tests
