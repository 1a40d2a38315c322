// Korvex.dll's DllMain: the module object lives from process attach to the
// FreeLibrary that unloads it; thread notifications do nothing.
#include <windows.h>

#include "module/module.h"
#include "platform/win32/win32_platform.h"

namespace {

// Never destroyed: a module that pinned itself (a host's procedure over its
// window hook) still forwards its windows' messages through the platform,
// also after the runtime's shutdown at process exit.
union KeptPlatform {
  korvex::Win32Platform platform;
  constexpr KeptPlatform() : platform() {}
  ~KeptPlatform() {}
};

constinit KeptPlatform kept;

}  // namespace

// What the C++ runtime keeps beyond an unload is given back after this, by
// the DLL's entry point around it (runtime_objects.cpp).
extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
  switch (reason) {
    case DLL_PROCESS_ATTACH:
      DisableThreadLibraryCalls(instance);
      korvex::Win32Platform::look_up_system_calls();
      try {
        korvex::load_module(kept.platform);
      } catch (...) {
        return FALSE;
      }
      break;
    case DLL_PROCESS_DETACH:
      // At process exit (reserved not null) the other threads are gone, one
      // perhaps inside an export holding the module lock, which newer
      // Windows then end the process on; the system takes the memory back.
      if (reserved == nullptr) korvex::unload_module();
      break;
    default:
      break;
  }
  return TRUE;
}
