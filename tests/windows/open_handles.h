// The handles the calling process holds, counted in the system's handle list:
// Wine's GetProcessHandleCount always says 0.
#pragma once

#include <cstddef>

namespace korvex::tests {

std::size_t open_handles();

}  // namespace korvex::tests
