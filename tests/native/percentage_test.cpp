#include "drives/drive_inventory.h"

#include <gtest/gtest.h>

namespace korvex {
namespace {

TEST(WholePercentage, RoundsTheQuotientByTheHundredthTiesToEven) {
  struct Case {
    std::int64_t part, total;
    std::int32_t percent;
  };
  for (const auto& [part, total, percent] : {
           Case{75'000'000'000, 100'000'000'000, 75},
           Case{25'000'000'000, 100'000'000'000, 25},
           Case{4096, 32768, 12},   // 12.5
           Case{28672, 32768, 88},  // 87.5
           Case{3, 8, 38},          // 37.5
           Case{0, 32768, 0},
           Case{32768, 32768, 100},
           Case{4096, 80026361856, 0},
           Case{80026357760, 80026361856, 100},
           // The hundredth of 229376 is rounded before the division; at 53 bits
           // this free share would come out as 87.
           Case{200704, 229376, 88},
           Case{28672, 229376, 12},
       }) {
    EXPECT_EQ(whole_percentage(part, total), percent) << part << " of " << total;
  }
}

TEST(WholePercentage, OfAnEmptyTotalIsZero) {
  EXPECT_EQ(whole_percentage(0, 0), 0);
  EXPECT_EQ(whole_percentage(4096, 0), 0);
}

}  // namespace
}  // namespace korvex
