#include "support/decimal_text.h"

#include <gtest/gtest.h>

#include <cfloat>

#include "decimal_text_cases.h"
#include "support/extended_precision.h"

namespace korvex {
namespace {

TEST(NumberToText, GivesTheDigitsOfEveryTableCase) {
  ExtendedPrecision precision;
  for (const auto& [value, text] : tests::kNumberCases) {
    EXPECT_EQ(number_to_text(value), text) << "value " << value;
  }
}

TEST(NumberToText, WritesTheExtremeDoublesInFullPositionalForm) {
  ExtendedPrecision precision;
  const std::string largest = number_to_text(DBL_MAX);
  EXPECT_EQ(largest.size(), 309u);
  EXPECT_EQ(largest.substr(0, 15), "179769313486232");
  const std::string smallest = number_to_text(4.9406564584124654e-324);
  EXPECT_EQ(smallest.substr(0, 2), "0.");
  EXPECT_GT(smallest.size(), 300u);
}

TEST(IntegerToText, WritesSignedDecimal) {
  for (const auto& [value, text] : tests::kIntegerCases) {
    EXPECT_EQ(integer_to_text(value), text) << "value " << value;
  }
}

TEST(IntegerPower, GivesExactPowersOfTen) {
  ExtendedPrecision precision;
  long double expected = 1;
  for (int n = 0; n <= 5; ++n, expected *= 10) {
    EXPECT_EQ(integer_power(10, n), expected) << "n " << n;
  }
  EXPECT_EQ(integer_power(3.7L, 0), 1);
  EXPECT_EQ(integer_power(2, -3), 0.125L);
  EXPECT_EQ(integer_power(2, 10), 1024);
}

TEST(ExtendedPrecision, RestoresTheCallersControlWordAndFlags) {
  const std::uint16_t host = 0x027F;
  const std::uint16_t before = x87_control_word();
  set_x87_control_word(host);
  {
    ExtendedPrecision precision;
    EXPECT_EQ(x87_control_word(), ExtendedPrecision::kControlWord);
    volatile long double zero = 0;
    volatile long double quotient = 1 / zero;  // sets the zero-divide flag
    (void)quotient;
  }
  EXPECT_EQ(x87_control_word(), host);
  std::uint16_t status;
  __asm__ __volatile__("fnstsw %0" : "=m"(status));
  EXPECT_EQ(status & 0x04, 0) << "the zero-divide flag must not leak to the caller";
  set_x87_control_word(before);
}

}  // namespace
}  // namespace korvex
