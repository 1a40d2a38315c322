// A part of a drive's total as a whole percentage.
#pragma once

#include <cstdint>

namespace korvex {

// part ÷ (total ÷ 100) in the 80-bit format, rounded to the nearest integer
// with ties to even; the low 32 bits of that integer. A total of 0 gives 0.
std::int32_t whole_percentage(std::int64_t part, std::int64_t total);

}  // namespace korvex
