// Raising, reading and clearing the x87 exception flags, for the tests and
// the benchmarks of the precision scope.
#pragma once

#include <cstdint>

namespace korvex::tests {

constexpr std::uint16_t kZeroDivideFlag = 0x04;
constexpr std::uint16_t kInexactFlag = 0x20;
// Set when a raised exception is unmasked: the next waiting instruction takes it.
constexpr std::uint16_t kPendingFlag = 0x80;

inline std::uint16_t x87_flags() {
  std::uint16_t status;
  __asm__ __volatile__("fnstsw %0" : "=m"(status));
  return static_cast<std::uint16_t>(status & 0xFF);
}

inline void clear_x87_flags() { __asm__ __volatile__("fnclex"); }

inline void raise_inexact() {
  volatile long double one = 1;
  volatile long double third = one / 3;
  (void)third;
}

inline void raise_zero_divide() {
  volatile long double one = 1;
  volatile long double zero = 0;
  volatile long double quotient = one / zero;
  (void)quotient;
}

}  // namespace korvex::tests
