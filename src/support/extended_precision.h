// Runs the module's floating-point work under its own x87 settings and gives
// the host its own back afterwards.
//
// Hosts differ: many set 53-bit precision (0x027F), some unmask exceptions.
// The module's digits depend on 64-bit-significand rounding, and a host must
// never find its control word or its exception flags changed by a call. So
// each piece of floating-point work sits in one of these scopes: 64-bit
// precision, round to nearest, all exceptions masked (0x037F) inside; the
// caller's control word and status flags restored on the way out.
#pragma once

#include <cstdint>

namespace korvex {

class ExtendedPrecision {
 public:
  static constexpr std::uint16_t kControlWord = 0x037F;

  ExtendedPrecision();
  ~ExtendedPrecision();
  ExtendedPrecision(const ExtendedPrecision&) = delete;
  ExtendedPrecision& operator=(const ExtendedPrecision&) = delete;

 private:
  std::uint16_t saved_control_ = 0;
  std::uint16_t saved_flags_ = 0;
};

std::uint16_t x87_control_word();
void set_x87_control_word(std::uint16_t control);

}  // namespace korvex
