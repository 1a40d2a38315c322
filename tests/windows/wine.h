// Some cases check facts of Wine where Windows differs: Wine has no SCSI port
// device and refuses every disk request, and under LC_ALL=C its message texts
// are English. Those checks run under Wine only; on Windows the case checks
// what holds on both, or skips.
#pragma once

#include <windows.h>

namespace korvex::tests {

inline bool running_under_wine() {
  return GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr;
}

}  // namespace korvex::tests
