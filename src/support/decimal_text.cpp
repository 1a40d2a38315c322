#include "support/decimal_text.h"

#include <cmath>

namespace korvex {
namespace {

constexpr int kSignificantDigits = 15;
constexpr long double kLowerScalingBound = 5e12L;
constexpr long double kUpperScalingBound = 1e13L;
constexpr long double kDigitBound = 1e14L;

}  // namespace

std::string number_to_text(double value) {
  if (value == 0) return "0";
  if (std::isnan(value)) return "nan";
  if (std::isinf(value)) return value < 0 ? "-inf" : "inf";

  const bool negative = value < 0;
  long double x = std::fabs(static_cast<long double>(value));
  int exponent = kSignificantDigits;  // digits before the decimal point

  bool scaled_up = false;
  while (x < kLowerScalingBound) {
    x *= 10;
    --exponent;
    scaled_up = true;
  }
  if (!scaled_up) {
    while (x >= kUpperScalingBound) {
      x /= 10;
      ++exponent;
    }
  }
  // The loop tests the rounded value, so a value that rounds up to 10^14
  // keeps only 14 significant digits (9999999999999.99 gives "10000000000000").
  long double rounded = std::rint(x);
  while (rounded < kDigitBound) {
    x *= 10;
    --exponent;
    rounded = std::rint(x);
  }
  const std::string digits = std::to_string(static_cast<unsigned long long>(rounded));

  std::string text;
  if (exponent >= kSignificantDigits) {
    text = digits + std::string(static_cast<std::size_t>(exponent - kSignificantDigits), '0');
  } else {
    if (exponent <= 0) {
      text = "0." + std::string(static_cast<std::size_t>(-exponent), '0') + digits;
    } else {
      text = digits.substr(0, static_cast<std::size_t>(exponent)) + "." +
             digits.substr(static_cast<std::size_t>(exponent));
    }
    while (text.back() == '0') text.pop_back();
    if (text.back() == '.') text.pop_back();
  }
  return negative ? "-" + text : text;
}

std::string integer_to_text(std::int32_t value) {
  // The magnitude as unsigned, so that -2147483648 has one.
  std::uint32_t magnitude = value < 0 ? 0u - static_cast<std::uint32_t>(value)
                                      : static_cast<std::uint32_t>(value);
  std::string reversed;
  do {
    reversed.push_back(static_cast<char>('0' + magnitude % 10));
    magnitude /= 10;
  } while (magnitude != 0);
  if (value < 0) reversed.push_back('-');
  return std::string(reversed.rbegin(), reversed.rend());
}

long double integer_power(long double base, std::int32_t exponent) {
  long double power = 1;
  if (exponent == 0) return power;
  std::uint32_t n = static_cast<std::uint32_t>(exponent);
  if (exponent < 0) {
    base = 1 / base;
    n = 0u - n;
  }
  for (;;) {
    const bool bit = (n & 1u) != 0;
    n >>= 1;
    if (bit) {
      power *= base;
      if (n == 0) return power;
    }
    base *= base;
  }
}

}  // namespace korvex
