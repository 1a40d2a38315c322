// Korvex.dll loaded the way a host loads it, from the test program's folder,
// with its exports found by name and called as a host calls them.
#pragma once

#include "korvex.h"
#include "library_loader.h"
#include "module_caller.h"

namespace korvex::tests {

class KorvexDll : private host_tool::LoadedLibrary, public host_tool::ModuleCaller {
 public:
  KorvexDll()
      : LoadedLibrary(host_tool::program_directory() + "Korvex.dll"),
        ModuleCaller(static_cast<const LoadedLibrary&>(*this)) {}

  using LoadedLibrary::loaded;

  // The export as korvex.h's KorvexNameProc type for it.
  template <typename Function>
  Function find(const char* name) const {
    return reinterpret_cast<Function>(LoadedLibrary::find(name));
  }
};

}  // namespace korvex::tests
