// The conversions give the same digits whatever precision the host thread
// runs with, and hand the host its control word back.
#include <gtest/gtest.h>

#include "decimal_text_cases.h"
#include "decimal_text_reference.h"
#include "size_like_values.h"
#include "support/decimal_text.h"
#include "support/extended_precision.h"

namespace korvex {
namespace {

class UnderHostControlWord : public ::testing::TestWithParam<std::uint16_t> {
 protected:
  void SetUp() override {
    saved_ = x87_control_word();
    set_x87_control_word(GetParam());
  }
  void TearDown() override { set_x87_control_word(saved_); }

 private:
  std::uint16_t saved_ = 0;
};

TEST_P(UnderHostControlWord, NumberToTextGivesEveryTableCase) {
  for (const auto& [value, text] : tests::kNumberCases) {
    std::string digits;
    {
      ExtendedPrecision precision;
      digits = number_to_text(value);
    }
    EXPECT_EQ(digits, text) << "value " << value;
    EXPECT_EQ(x87_control_word(), GetParam());
  }
}

// The i686 build must round every step as the native build does: the same
// digits as the plain reference on the sizes the formatter produces.
TEST_P(UnderHostControlWord, NumberToTextGivesTheReferenceDigitsOfSizes) {
  constexpr std::uint64_t kSeed = 0x4B6F72766578;
  const std::vector<double> values = tests::size_like_values(200'000, kSeed);
  const tests::ReferenceComparison comparison = tests::compare_with_reference(values);
  EXPECT_EQ(comparison.differences, 0u) << "of " << values.size() << " values:\n"
                                        << comparison.first_differences;
  EXPECT_EQ(x87_control_word(), GetParam());
}

TEST_P(UnderHostControlWord, IntegerToTextGivesEveryTableCase) {
  for (const auto& [value, text] : tests::kIntegerCases) {
    EXPECT_EQ(integer_to_text(value), text) << "value " << value;
  }
}

INSTANTIATE_TEST_SUITE_P(HostPrecision, UnderHostControlWord,
                         ::testing::Values(std::uint16_t{0x027F}, std::uint16_t{0x037F}),
                         [](const auto& info) {
                           return info.param == 0x027F ? std::string("Bits53")
                                                       : std::string("Bits64");
                         });

}  // namespace
}  // namespace korvex
