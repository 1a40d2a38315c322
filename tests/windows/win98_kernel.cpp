// KERNEL98.dll, the kernel of the Windows 98 loader model (old-loader-model):
// the model's Korvex.dll imports from it where the real one imports from
// KERNEL32.dll. It forwards every kernel function the 32-bit DLL may import to
// KERNEL32.dll, except those Windows 98 SE and Me have only as stubs, which
// fail here as they do there. Its export list is made from
// old-windows-imports.txt; a function marked 9x-stub there needs its stand-in
// here, with the same arguments, or this DLL does not link.
#include <windows.h>

namespace {

template <typename Result>
Result not_implemented() {
  SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
  return Result{};
}

}  // namespace

extern "C" {

HANDLE WINAPI failing_CreateSemaphoreW(LPSECURITY_ATTRIBUTES, LONG, LONG, LPCWSTR) {
  return not_implemented<HANDLE>();
}

HMODULE WINAPI failing_GetModuleHandleW(LPCWSTR) { return not_implemented<HMODULE>(); }

HMODULE WINAPI failing_LoadLibraryW(LPCWSTR) { return not_implemented<HMODULE>(); }

// No runtime: nothing to start.
BOOL WINAPI DllMainCRTStartup(HINSTANCE, DWORD, LPVOID) { return TRUE; }

}  // extern "C"
