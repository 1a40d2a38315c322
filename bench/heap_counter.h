// The heap allocations of the benchmark program, counted at malloc, calloc
// and realloc (operator new allocates through malloc).
#pragma once

#include <cstdint>

namespace korvex::bench {

std::uint64_t heap_allocations();

}  // namespace korvex::bench
