#include "drives/size_format.h"

#include <array>
#include <cmath>
#include <string_view>

#include "support/decimal_text.h"
#include "support/extended_precision.h"

namespace korvex {
namespace {

struct Unit {
  std::string_view text;  // three characters each, so that sizes line up
  std::int64_t divisor;
  // Exact, as the divisor is a power of two: a product by it is the quotient
  // to the last bit, and quicker.
  long double reciprocal;
};

constexpr std::array<Unit, 4> kUnits = {{
    {" B ", 1, 1.0L},
    {" KB", std::int64_t{1} << 10, 1.0L / (1 << 10)},
    {" MB", std::int64_t{1} << 20, 1.0L / (1 << 20)},
    {" GB", std::int64_t{1} << 30, 1.0L / (1 << 30)},
}};
constexpr int kBytes = 0;
constexpr int kGigabytes = 3;
constexpr int kLargestDecimalPlaces = 5;

// 10 to the power of each number of decimal places, exact in the 80-bit format.
constexpr std::array<long double, kLargestDecimalPlaces + 1> kScales = {
    integer_power(10, 0), integer_power(10, 1), integer_power(10, 2),
    integer_power(10, 3), integer_power(10, 4), integer_power(10, 5)};

// Automatic mode: the largest unit the count reaches. Counts of a terabyte and
// more stay in gigabytes, as mode 3 shows them, rather than losing their text.
int automatic_unit(std::int64_t bytes) {
  int unit = kBytes;
  while (unit < kGigabytes && bytes >= kUnits[unit + 1].divisor) ++unit;
  return unit;
}

// Bytes are never divided; every other unit's count is rounded to the places.
double value_in_unit(std::int64_t bytes, int unit, int places) {
  if (unit == kBytes) return static_cast<double>(bytes);
  // Every step is one operation of the 80-bit format: the quotient by a power
  // of two is exact, and rint rounds ties to even under the module's control
  // word. A scaled value of 2^63 or more has no fraction left to round, so it
  // passes unchanged, never through an out-of-range integer conversion.
  const long double scale = kScales[static_cast<std::size_t>(places)];
  const long double quotient = static_cast<long double>(bytes) * kUnits[unit].reciprocal;
  const long double rounded = std::rint(quotient * scale);
  return static_cast<double>(rounded / scale);
}

}  // namespace

bool SizeSettings::set(std::int32_t mode, std::int32_t places) {
  if (mode < kAutomaticMode || mode > kGigabytes) return false;
  if (places < 0 || places > kLargestDecimalPlaces) return false;
  size_format_mode = static_cast<std::int8_t>(mode);
  decimal_places = static_cast<std::int8_t>(places);
  return true;
}

void append_size_text(std::int64_t bytes, const SizeSettings& settings, std::string& out) {
  const int unit = settings.size_format_mode == SizeSettings::kAutomaticMode
                       ? automatic_unit(bytes)
                       : settings.size_format_mode;
  {
    ExtendedPrecision precision;
    append_number_text(value_in_unit(bytes, unit, settings.decimal_places), out);
  }
  out += kUnits[unit].text;
}

std::string format_size(std::int64_t bytes, const SizeSettings& settings) {
  std::string text;
  append_size_text(bytes, settings, text);
  return text;
}

}  // namespace korvex
