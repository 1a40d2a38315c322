// Values such as the size formatter hands to the number-to-text conversion:
// byte counts below 2^50 as they are, or divided by 1024, 1024^2 or 1024^3
// and rounded to 0 to 5 decimal places, every step in the 80-bit format as
// the formatter takes it. The same seed gives the same values everywhere.
#pragma once

#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include "support/decimal_text.h"
#include "support/extended_precision.h"

namespace korvex::tests {

inline std::vector<double> size_like_values(std::size_t count, std::uint64_t seed) {
  constexpr int kLongestByteCount = 50;  // bits: a petabyte
  constexpr int kUnits = 4;
  constexpr int kDecimalPlaces = 6;
  ExtendedPrecision precision;
  std::mt19937_64 random(seed);
  std::vector<double> values;
  values.reserve(count);
  while (values.size() < count) {
    const int bits = static_cast<int>(random() % (kLongestByteCount + 1));
    const auto bytes = bits == 0 ? std::int64_t{0} : static_cast<std::int64_t>(random() >> (64 - bits));
    const int unit = static_cast<int>(random() % kUnits);
    const int places = static_cast<int>(random() % kDecimalPlaces);
    if (unit == 0) {
      values.push_back(static_cast<double>(bytes));
      continue;
    }
    const long double scale = integer_power(10, places);
    const long double quotient = static_cast<long double>(bytes) / std::ldexp(1.0L, 10 * unit);
    values.push_back(static_cast<double>(std::rint(quotient * scale) / scale));
  }
  return values;
}

}  // namespace korvex::tests
