// The module's exports linked into a native program, found by name the way
// GetProcAddress finds them in the DLL.
#pragma once

#include <string_view>

namespace korvex::host_tool {

// The export's address, or nullptr for a name that is not one of them.
void* find_linked_export(std::string_view name);

}  // namespace korvex::host_tool
