// The number-to-text conversion written as plainly as its rule, to check the
// module's faster one against: every product and quotient by ten is one
// rounded 80-bit operation, the digit loop rounds at every turn, and the
// point is placed and the zeros trimmed one character at a time. Finite
// values only; run it under an ExtendedPrecision scope.
#pragma once

#include <cmath>
#include <cstddef>
#include <iomanip>
#include <sstream>
#include <string>
#include <vector>

#include "support/decimal_text.h"
#include "support/extended_precision.h"

namespace korvex::tests {

inline std::string reference_number_text(double value) {
  if (value == 0) return "0";
  const bool negative = value < 0;
  long double x = negative ? -static_cast<long double>(value) : static_cast<long double>(value);
  int point = 15;

  bool scaled_up = false;
  while (x < 5e12L) {
    x = x * 10;
    point = point - 1;
    scaled_up = true;
  }
  if (!scaled_up) {
    while (x >= 1e13L) {
      x = x / 10;
      point = point + 1;
    }
  }
  long double rounded = std::rint(x);
  while (rounded < 1e14L) {
    x = x * 10;
    point = point - 1;
    rounded = std::rint(x);
  }
  const std::string digits = std::to_string(static_cast<long long>(rounded));

  std::string text;
  if (point <= 0) {
    text = "0." + std::string(static_cast<std::size_t>(-point), '0') + digits;
  } else if (point <= 14) {
    text = digits.substr(0, static_cast<std::size_t>(point)) + "." +
           digits.substr(static_cast<std::size_t>(point));
  } else {
    text = digits + std::string(static_cast<std::size_t>(point - 15), '0');
  }
  if (point <= 14) {
    while (text.back() == '0') text.pop_back();
    if (text.back() == '.') text.pop_back();
  }
  return negative ? "-" + text : text;
}

struct ReferenceComparison {
  std::size_t differences = 0;
  std::string first_differences;  // one line each, the first ten
};

// The module's conversion against the reference, under the module's scope.
inline ReferenceComparison compare_with_reference(const std::vector<double>& values) {
  constexpr std::size_t kReportedDifferences = 10;
  ExtendedPrecision precision;
  ReferenceComparison comparison;
  std::string text;
  for (const double value : values) {
    text.clear();
    append_number_text(value, text);
    const std::string expected = reference_number_text(value);
    if (text != expected && ++comparison.differences <= kReportedDifferences) {
      std::ostringstream line;
      line << std::setprecision(17) << value << " gives " << text << ", the reference " << expected
           << "\n";
      comparison.first_differences += line.str();
    }
  }
  return comparison;
}

}  // namespace korvex::tests
