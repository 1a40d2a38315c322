// Number-to-text and integer-to-text cases, shared by the native tests and the
// Windows-side tests that run them under other host control words.
#pragma once

#include <cstdint>
#include <limits>
#include <string>

namespace korvex::tests {

struct NumberCase {
  double value;
  const char* text;
};

inline const std::string kTwentiethPower = "1" + std::string(20, '0');
inline const std::string kMinusTwentieth = "0." + std::string(19, '0') + "1";

inline const NumberCase kNumberCases[] = {
    {0.0, "0"},
    {-0.0, "0"},
    {1, "1"},
    {12, "12"},
    {1.5, "1.5"},
    {-2.5, "-2.5"},
    {0.1, "0.1"},
    {0.5, "0.5"},
    {0.30000000000000004, "0.3"},
    {12.34, "12.34"},
    {931.51, "931.51"},
    {1023.99, "1023.99"},
    {1024, "1024"},
    {74.53, "74.53"},
    {976.562, "976.562"},
    {120563.27051, "120563.27051"},
    {123456789.5, "123456789.5"},
    {1.0 / 3.0, "0.333333333333333"},
    {2.0 / 3.0, "0.666666666666667"},
    {3.14159265358979, "3.14159265358979"},
    {0.001, "0.001"},
    {0.00001, "0.00001"},
    {0.000123456789012345678, "0.000123456789012346"},
    {1e-20, kMinusTwentieth.c_str()},
    {4999999999999.9, "4999999999999.9"},
    {5e12, "5000000000000"},
    {1099511627776.0, "1099511627776"},
    {9999999999999.99, "10000000000000"},
    {99999999999999.95, "100000000000000"},
    {123456789012345.6, "123456789012346"},
    {336462508334401.5, "336462508334401"},
    {1234567890123.125, "1234567890123.12"},
    {1e15, "1000000000000000"},
    {123456789012345678.0, "123456789012346000"},
    {1e20, kTwentiethPower.c_str()},
};

struct IntegerCase {
  std::int32_t value;
  const char* text;
};

inline const IntegerCase kIntegerCases[] = {
    {0, "0"},
    {75, "75"},
    {-1, "-1"},
    {2147483647, "2147483647"},
    {std::numeric_limits<std::int32_t>::min(), "-2147483648"},
    {static_cast<std::int32_t>(3000000000u), "-1294967296"},
};

}  // namespace korvex::tests
