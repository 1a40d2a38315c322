#include "support/decimal_text.h"

#include <cmath>
#include <cstring>

namespace korvex {
namespace {

constexpr int kSignificantDigits = 15;
constexpr long double kLowerScalingBound = 5e12L;
constexpr long double kUpperScalingBound = 1e13L;
// The digit loop scales until the value rounds to 10^14 or more. Rounding to
// nearest with ties to even sends 10^14 - 0.5 up to the even 10^14, so the
// loop can compare the unrounded value with this bound instead.
constexpr long double kRoundsToDigitBound = 1e14L - 0.5L;
// A double's significand has 53 bits and 10^4 = 5^4 x 2^4 adds 10 more, so
// its first four products by ten are exact in the 64 bits of the working
// format and the fifth is the first that rounds: one product by 10^5 rounds
// the same exact value once. Below 10^9 four products stay below 10^13, so
// at least five follow.
constexpr long double kFiveScalingsBound = 1e9L;
constexpr long double kFiveScalings = 1e5L;

constexpr char kDigitPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

constexpr int kBufferDigits = 16;
constexpr std::uint32_t kEightDigits = 100000000;

void write_four_digits(std::uint32_t value, char* out) {
  std::memcpy(out, &kDigitPairs[2 * (value / 100)], 2);
  std::memcpy(out + 2, &kDigitPairs[2 * (value % 100)], 2);
}

void write_eight_digits(std::uint32_t value, char* out) {
  write_four_digits(value / 10000, out);
  write_four_digits(value % 10000, out + 4);
}

// All sixteen digits of a value below 10^16, leading zeros included: a few
// independent divisions instead of one long chain of them.
void write_sixteen_digits(std::uint64_t value, char* out) {
  write_eight_digits(static_cast<std::uint32_t>(value / kEightDigits), out);
  write_eight_digits(static_cast<std::uint32_t>(value % kEightDigits), out + 8);
}

int digit_count(std::uint32_t value) {
  int count = 1;
  for (; value >= 10; value /= 10) ++count;
  return count;
}

// To nearest with ties to even under the module's control word. One x87
// store: the library's llrint takes its argument through memory and a call.
std::uint64_t round_to_integer(long double value) {
  std::int64_t integer;
  __asm__("fistpll %0" : "=m"(integer) : "t"(value) : "st");
  return static_cast<std::uint64_t>(integer);
}

struct FifteenDigits {
  std::uint64_t integer;  // from 10^14 to below 10^15
  int point;              // how many digits stand before the decimal point
};

// Every product and quotient by ten is one rounded operation of the working
// format, as the tie cases need. Below the lower scaling bound, the scaling up
// and the digit loop are one run of products that ends at the digit bound.
FifteenDigits scale_to_fifteen_digits(long double magnitude) {
  int point = kSignificantDigits;
  if (magnitude < kLowerScalingBound) {
    if (magnitude < kFiveScalingsBound) {
      magnitude *= kFiveScalings;
      point -= 5;
    }
  } else {
    while (magnitude >= kUpperScalingBound) {
      magnitude /= 10;
      ++point;
    }
  }
  while (magnitude < kRoundsToDigitBound) {
    magnitude *= 10;
    --point;
  }
  return {round_to_integer(magnitude), point};
}

}  // namespace

void append_number_text(double value, std::string& out) {
  if (value == 0) {
    out += '0';
    return;
  }
  if (std::isnan(value)) {
    out += "nan";
    return;
  }
  if (std::isinf(value)) {
    out += value < 0 ? "-inf" : "inf";
    return;
  }

  const auto [integer, point] = scale_to_fifteen_digits(std::fabs(static_cast<long double>(value)));
  char sixteen_digits[kBufferDigits];
  write_sixteen_digits(integer, sixteen_digits);
  const char* const digits = sixteen_digits + kBufferDigits - kSignificantDigits;

  if (value < 0) out += '-';
  if (point >= kSignificantDigits) {
    out.append(digits, kSignificantDigits);
    out.append(static_cast<std::size_t>(point - kSignificantDigits), '0');
    return;
  }
  // Only a text with a decimal point loses its trailing zeros, and only those
  // of the fraction; the first digit is never zero.
  int kept = kSignificantDigits;
  while (digits[kept - 1] == '0') --kept;
  if (point <= 0) {
    out += "0.";
    out.append(static_cast<std::size_t>(-point), '0');
    out.append(digits, static_cast<std::size_t>(kept));
  } else if (kept <= point) {
    out.append(digits, static_cast<std::size_t>(point));
  } else {
    out.append(digits, static_cast<std::size_t>(point));
    out += '.';
    out.append(digits + point, static_cast<std::size_t>(kept - point));
  }
}

std::string number_to_text(double value) {
  std::string text;
  append_number_text(value, text);
  return text;
}

void append_integer_text(std::int32_t value, std::string& out) {
  // The magnitude as unsigned, so that -2147483648 has one.
  const std::uint32_t magnitude = value < 0 ? 0u - static_cast<std::uint32_t>(value)
                                            : static_cast<std::uint32_t>(value);
  char digits[kBufferDigits];
  write_sixteen_digits(magnitude, digits);
  const int count = digit_count(magnitude);
  if (value < 0) out += '-';
  out.append(digits + kBufferDigits - count, static_cast<std::size_t>(count));
}

std::string integer_to_text(std::int32_t value) {
  std::string text;
  append_integer_text(value, text);
  return text;
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
