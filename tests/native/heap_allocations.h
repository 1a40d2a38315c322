// Every allocation through operator new in the test program is counted, so
// that a test can show that a call makes none.
#pragma once

#include <cstddef>

namespace korvex::tests {

std::size_t heap_allocations();

}  // namespace korvex::tests
