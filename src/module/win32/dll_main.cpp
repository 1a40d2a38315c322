// Korvex.dll's entry point: the module object lives from process attach to
// process detach; thread notifications do nothing.
#include <windows.h>

#include "module/module.h"
#include "module/win32/runtime_resources.h"
#include "platform/win32/win32_platform.h"

namespace {

// Never destroyed: a module that pinned itself at unload still forwards its
// windows' messages through the platform after the runtime's shutdown.
union KeptPlatform {
  korvex::Win32Platform platform;
  constexpr KeptPlatform() : platform() {}
  ~KeptPlatform() {}
};

constinit KeptPlatform kept;

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
  switch (reason) {
    case DLL_PROCESS_ATTACH:
      DisableThreadLibraryCalls(instance);
      try {
        korvex::load_module(kept.platform);
      } catch (...) {
        return FALSE;
      }
      break;
    case DLL_PROCESS_DETACH:
      korvex::unload_module();
      // A process that ends takes everything with it; a FreeLibrary leaves
      // the host running with whatever the module did not give back.
      if (reserved == nullptr) korvex::release_runtime_resources(instance);
      break;
    default:
      break;
  }
  return TRUE;
}
