#include "drives/size_format.h"

#include <gtest/gtest.h>

#include "size_format_cases.h"

namespace korvex {
namespace {

TEST(FormatSize, GivesTheTextOfEveryTableCase) {
  for (const auto& [bytes, mode, places, text] : tests::kSizeCases) {
    SizeSettings settings;
    ASSERT_TRUE(settings.set(mode, places));
    EXPECT_EQ(format_size(bytes, settings), text)
        << bytes << " bytes, mode " << int{mode} << ", " << int{places} << " places";
  }
}

TEST(SizeSettings, StoreBothOnlyWhenBothAreInRange) {
  struct Case {
    std::int32_t mode, places;
    bool accepted;
  };
  for (const auto& [mode, places, accepted] : {
           Case{-1, 0, true}, Case{3, 5, true}, Case{1, 2, true}, Case{3, 6, false},
           Case{4, 0, false}, Case{-2, 0, false}, Case{0, -1, false},
           Case{0x101, 1, false},  // must not pass as 1 once narrowed to 8 bits
       }) {
    SizeSettings settings;
    settings.set(2, 4);
    EXPECT_EQ(settings.set(mode, places), accepted) << mode << ", " << places;
    EXPECT_EQ(settings.size_format_mode, accepted ? mode : 2) << mode << ", " << places;
    EXPECT_EQ(settings.decimal_places, accepted ? places : 4) << mode << ", " << places;
  }
}

}  // namespace
}  // namespace korvex
