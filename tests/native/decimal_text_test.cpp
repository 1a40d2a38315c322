#include "support/decimal_text.h"

#include <gtest/gtest.h>

#include <cfloat>

#include "decimal_text_cases.h"
#include "heap_allocations.h"
#include "support/extended_precision.h"
#include "x87_flags.h"

namespace korvex::tests {
namespace {

// Room for the longest text: the smallest subnormal, negative, has 341 characters.
constexpr std::size_t kRoomForAnyText = 400;

TEST(NumberToText, GivesTheDigitsOfEveryTableCase) {
  ExtendedPrecision precision;
  for (const auto& [value, text] : kNumberCases) {
    EXPECT_EQ(number_to_text(value), text) << "value " << value;
  }
}

TEST(NumberToText, WritesTheExtremeDoublesInFullPositionalForm) {
  ExtendedPrecision precision;
  const std::string largest = number_to_text(-DBL_MAX);
  EXPECT_EQ(largest.size(), 310u);
  EXPECT_EQ(largest.substr(0, 16), "-179769313486232");
  EXPECT_EQ(largest.find_first_not_of('0', 16), std::string::npos);
  const std::string smallest = number_to_text(-4.9406564584124654e-324);
  EXPECT_EQ(smallest.size(), 341u);
  EXPECT_EQ(smallest.substr(0, 3), "-0.");
  EXPECT_EQ(smallest.find_first_not_of('0', 3), 3u + 323u);
  EXPECT_EQ(smallest.substr(3 + 323), "494065645841247");
}

TEST(AppendText, AddsToTheTextWithoutAllocatingWhenItHasRoom) {
  ExtendedPrecision precision;
  const std::string before = "size ";
  std::string out;
  out.reserve(before.size() + kRoomForAnyText);
  const auto expect_appended = [&](const std::string& expected, const auto& append) {
    out = before;
    const std::size_t allocations_before = heap_allocations();
    append(out);
    EXPECT_EQ(heap_allocations() - allocations_before, 0u) << expected;
    EXPECT_EQ(out, before + expected);
  };
  for (const auto& [value, text] : kNumberCases) {
    expect_appended(text, [value = value](std::string& to) { append_number_text(value, to); });
  }
  expect_appended(number_to_text(-DBL_MAX), [](std::string& to) { append_number_text(-DBL_MAX, to); });
  expect_appended(number_to_text(-4.9406564584124654e-324),
                  [](std::string& to) { append_number_text(-4.9406564584124654e-324, to); });
  for (const auto& [value, text] : kIntegerCases) {
    expect_appended(text, [value = value](std::string& to) { append_integer_text(value, to); });
  }
}

TEST(IntegerToText, WritesSignedDecimal) {
  for (const auto& [value, text] : kIntegerCases) {
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

enum class Work { kRaisesNothing, kRaisesNewFlag, kRaisesCallersFlag };

struct ScopeCase {
  const char* name;
  std::uint16_t callers_flags;
  Work work;
};

TEST(ExtendedPrecision, GivesTheCallerItsControlWordAndFlagsBack) {
  const ScopeCase cases[] = {
      {"caller without flags, work raises none", 0, Work::kRaisesNothing},
      {"caller without flags, work raises one", 0, Work::kRaisesNewFlag},
      {"caller with a flag, work raises none", kInexactFlag, Work::kRaisesNothing},
      {"caller with a flag, work raises another", kInexactFlag, Work::kRaisesNewFlag},
      {"caller with a flag, work raises the same", kInexactFlag, Work::kRaisesCallersFlag},
  };
  // 53-bit precision as many hosts set it, the module's own word, and one
  // that unmasks the zero-divide exception the work raises.
  const std::uint16_t callers_control_words[] = {0x027F, 0x037F, 0x037B};
  const std::uint16_t original = x87_control_word();
  for (const std::uint16_t control : callers_control_words) {
    for (const auto& [name, callers_flags, work] : cases) {
      SCOPED_TRACE(::testing::Message() << name << ", control word " << std::hex << control);
      clear_x87_flags();
      set_x87_control_word(control);
      if (callers_flags != 0) raise_inexact();
      {
        ExtendedPrecision precision;
        EXPECT_EQ(x87_control_word(), ExtendedPrecision::kControlWord);
        if (work == Work::kRaisesNewFlag) raise_zero_divide();
        if (work == Work::kRaisesCallersFlag) raise_inexact();
      }
      const std::uint16_t control_after = x87_control_word();
      const std::uint16_t flags_after = x87_flags();
      clear_x87_flags();
      set_x87_control_word(original);
      EXPECT_EQ(control_after, control);
      EXPECT_EQ(flags_after, callers_flags);
    }
  }
}

TEST(ExtendedPrecision, GivesTheCallerItsPendingExceptionBack) {
  const std::uint16_t original = x87_control_word();
  clear_x87_flags();
  raise_zero_divide();
  // Unmasking a raised exception leaves it pending for the next waiting
  // instruction: the scope must neither take it nor lose it.
  const std::uint16_t unmasks_zero_divide = 0x037B;
  set_x87_control_word(unmasks_zero_divide);
  const std::uint16_t pending = x87_flags();
  {
    ExtendedPrecision precision;
    raise_inexact();
  }
  const std::uint16_t control_after = x87_control_word();
  const std::uint16_t flags_after = x87_flags();
  clear_x87_flags();
  set_x87_control_word(original);
  EXPECT_EQ(pending, kZeroDivideFlag | kPendingFlag);
  EXPECT_EQ(control_after, unmasks_zero_divide);
  EXPECT_EQ(flags_after, kZeroDivideFlag | kPendingFlag);
}

}  // namespace
}  // namespace korvex::tests
