// The module's number-to-text conversion gives the plain reference's digits:
// on the sizes the formatter produces, on doubles of every magnitude, and
// where the steps' roundings decide (15-digit ties, the scaling bounds, the
// values that round up to the digit bound).
#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "decimal_text_cases.h"
#include "decimal_text_reference.h"
#include "size_like_values.h"
#include "support/extended_precision.h"

namespace korvex::tests {
namespace {

// Fixed, so that a failure repeats.
constexpr std::uint64_t kSeed = 0x4B6F72766578;

void expect_reference_digits(const std::vector<double>& values) {
  const ReferenceComparison comparison = compare_with_reference(values);
  EXPECT_EQ(comparison.differences, 0u) << "of " << values.size() << " values:\n"
                                        << comparison.first_differences;
}

// The double nearest to digits x 10^exponent.
double decimal(const std::string& digits, int exponent) {
  const std::string text = digits + "e" + std::to_string(exponent);
  double value = 0;
  std::from_chars(text.data(), text.data() + text.size(), value);
  return value;
}

// count decimal digits, the first not zero.
std::string random_digits(std::mt19937_64& random, int count) {
  std::string digits(1, static_cast<char>('1' + random() % 9));
  while (static_cast<int>(digits.size()) < count) digits += static_cast<char>('0' + random() % 10);
  return digits;
}

void add_with_neighbours(std::vector<double>& values, double value, int steps) {
  constexpr double kInfinity = std::numeric_limits<double>::infinity();
  values.push_back(value);
  double below = value;
  double above = value;
  for (int step = 0; step < steps; ++step) {
    below = std::nextafter(below, -kInfinity);
    above = std::nextafter(above, kInfinity);
    values.push_back(below);
    values.push_back(above);
  }
}

TEST(NumberToTextAgainstReference, ReferenceGivesEveryTableCase) {
  ExtendedPrecision precision;
  for (const auto& [value, text] : kNumberCases) {
    EXPECT_EQ(reference_number_text(value), text) << "value " << value;
  }
}

TEST(NumberToTextAgainstReference, SizesAsTheFormatterProducesThem) {
  expect_reference_digits(size_like_values(1'000'000, kSeed));
}

TEST(NumberToTextAgainstReference, DoublesOfEveryMagnitude) {
  std::mt19937_64 random(kSeed);
  std::vector<double> values;
  while (values.size() < 500'000) {
    const std::uint64_t bits = random();
    double value;
    std::memcpy(&value, &bits, sizeof value);
    if (std::isfinite(value)) values.push_back(value);
  }
  expect_reference_digits(values);
}

TEST(NumberToTextAgainstReference, ValuesAtFifteenDigitTies) {
  std::mt19937_64 random(kSeed);
  std::vector<double> values;
  // Exact ties: an integer of 16 - s digits plus an odd multiple of 2^-s has
  // 16 significant digits, the last a 5, and fits in a double's 53 bits.
  for (int s = 1; s <= 5; ++s) {
    for (int i = 0; i < 30'000; ++i) {
      const double integer = std::stod(random_digits(random, 16 - s));
      const double fraction = std::ldexp(static_cast<double>(2 * (random() % (1u << (s - 1))) + 1), -s);
      values.push_back(i % 2 == 0 ? integer + fraction : -(integer + fraction));
    }
  }
  // The doubles nearest to a decimal tie, at scales from 10^-16 to 10^20.
  for (int i = 0; i < 100'000; ++i) {
    const int exponent = static_cast<int>(random() % 37) - 31;
    add_with_neighbours(values, decimal(random_digits(random, 15) + "5", exponent), 1);
  }
  expect_reference_digits(values);
}

TEST(NumberToTextAgainstReference, ValuesAtTheScalingAndDigitBounds) {
  std::mt19937_64 random(kSeed);
  std::vector<double> values;
  // The scaling bounds are 5 x 10^12 and 10^13: at every scale, 5 x 10^p and
  // 10^p with the doubles around them.
  for (int exponent = -323; exponent <= 308; ++exponent) {
    add_with_neighbours(values, decimal("1", exponent), 50);
    add_with_neighbours(values, decimal("5", exponent), 50);
  }
  // Fourteen nines and more digits: around the values whose digits round up
  // to the digit bound and keep only 14.
  for (int i = 0; i < 100'000; ++i) {
    const int exponent = static_cast<int>(random() % 37) - 31;
    std::string digits = "99999999999999" + std::to_string(random() % 10000);
    add_with_neighbours(values, decimal(digits, exponent), 1);
  }
  expect_reference_digits(values);
}

}  // namespace
}  // namespace korvex::tests
