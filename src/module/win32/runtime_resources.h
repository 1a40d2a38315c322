// What the C++ runtime linked into Korvex.dll takes from the system for each
// load and does not give back by itself at unload.
#pragma once

#include <windows.h>

namespace korvex {

// Gives back the runtime's record of the calling thread, its TLS slots and
// its reserve exception memory. Called last at a FreeLibrary of the module,
// on the thread that frees it, when no other code of the module runs any more.
void release_runtime_resources(HINSTANCE instance);

}  // namespace korvex
