// Byte counts with their size texts under each setting, shared by the native
// tests and the Windows-side tests that run them under other host control words.
#pragma once

#include <cstdint>

namespace korvex::tests {

struct SizeCase {
  std::int64_t bytes;
  std::int8_t mode;
  std::int8_t places;
  const char* text;
};

inline constexpr SizeCase kSizeCases[] = {
    {0, -1, 1, "0 B "},
    {512, -1, 1, "512 B "},
    {1023, -1, 1, "1023 B "},
    {1024, -1, 1, "1 KB"},
    {1280, -1, 1, "1.2 KB"},  // 12.5 rounds to 12
    {1536, -1, 1, "1.5 KB"},
    {1536, -1, 2, "1.5 KB"},  // no trailing zero
    {1024, -1, 3, "1 KB"},
    {1792, -1, 1, "1.8 KB"},  // 17.5 rounds to 18
    {2560, -1, 0, "2 KB"},
    {3584, -1, 0, "4 KB"},
    {1000000, -1, 3, "976.562 KB"},
    {1048575, -1, 1, "1024 KB"},  // the unit is chosen before rounding
    {1048576, -1, 1, "1 MB"},
    {123456789, 2, 2, "117.74 MB"},
    {123456789, 1, 5, "120563.27051 KB"},
    {123456789, 0, 5, "123456789 B "},
    {5000000000, -1, 1, "4.7 GB"},
    {5000000000, 2, 0, "4768 MB"},
    {80026361856, -1, 2, "74.53 GB"},
    {80026361856, 3, 0, "75 GB"},
    {1099511627775, -1, 1, "1024 GB"},
    {1099511627776, 3, 1, "1024 GB"},
    // Bytes are never divided, whatever the decimal places.
    {1536, 0, 0, "1536 B "},
    {1536, 0, 3, "1536 B "},
    {1536, -1, 0, "2 KB"},
    {512, 1, 1, "0.5 KB"},
    {512, 1, 0, "0 KB"},  // 0.5 rounds to 0
    {1, 1, 1, "0 KB"},
    // A terabyte and more stays in gigabytes in automatic mode.
    {1099511627776, -1, 1, "1024 GB"},
    {5497558138880, -1, 1, "5120 GB"},
    // Scaled past 2^63: no fraction is left to round.
    {INT64_MAX, 1, 5, "9007199254740990 KB"},
    {INT64_MAX, 3, 5, "8589934592 GB"},
};

}  // namespace korvex::tests
