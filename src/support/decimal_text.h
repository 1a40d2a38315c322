// The two ways a number becomes text, and the integer power that gives the
// size formatter its scale. Pure functions: no locale, no module state.
//
// The append forms add the text to the end of out and allocate nothing when
// out already has the room, so that text results can be built in reused
// storage; the forms that return a text are built on them.
#pragma once

#include <cstdint>
#include <string>

namespace korvex {

// At most 15 significant digits, plain positional notation, "." as separator,
// no trailing fraction zeros. Works in the x87 80-bit format; call it under an
// ExtendedPrecision scope so that the digits do not depend on the caller's
// precision setting.
void append_number_text(double value, std::string& out);
std::string number_to_text(double value);

// Signed decimal: an optional "-" and the digits, without leading zeros.
void append_integer_text(std::int32_t value, std::string& out);
std::string integer_to_text(std::int32_t value);

// base to the power exponent by repeated squaring, each step one 80-bit operation.
long double integer_power(long double base, std::int32_t exponent);

}  // namespace korvex
