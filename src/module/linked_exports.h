// The exports' addresses by name, for a program that links the module's code
// instead of loading Korvex.dll: what GetProcAddress gives a host.
#pragma once

#include <string_view>

namespace korvex {

// nullptr for a name that is not one of the module's exports.
void* linked_export(std::string_view name);

}  // namespace korvex
