#include "identify/identify_text.h"

#include <gtest/gtest.h>

#include "identify_fixtures.h"

namespace korvex::tests {
namespace {

TEST(IdentifyText, TrimsPaddingAndStopsAtAnInnerNul) {
  using namespace std::string_literals;
  struct Case {
    const char* name;
    std::string readable;  // the field after its words are swapped
    std::string expected;
  };
  const Case cases[] = {
      {"leading blanks", std::string(12, ' ') + "AB12CD34", "AB12CD34"},
      {"trailing NULs", "AB12" + std::string(16, '\0'), "AB12"},
      {"trailing blanks and controls", "01.01 \t\r", "01.01"},
      {"leading controls", "\x01\t\x1F XY", "XY"},
      {"inner NUL keeps what precedes it", "AB \0CD  "s, "AB "},
      {"leading NUL", "\0ABCDEFG"s, ""},
      {"all blanks", std::string(20, ' '), ""},
      {"all NUL", std::string(20, '\0'), ""},
      {"inner blanks kept", "ST3 500 DISK", "ST3 500 DISK"},
      {"bytes above 0x7F kept", "\xE9t\xE9\x7F", "\xE9t\xE9\x7F"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(identify_text(stored_text(c.readable)), c.expected) << c.name;
  }
}

TEST(IdentifyText, SwapsEachWordsBytes) {
  // As a disk stores the firmware revision "01.01" in eight bytes.
  const std::uint8_t stored[] = {0x31, 0x30, 0x30, 0x2E, 0x20, 0x31, 0x20, 0x20};
  EXPECT_EQ(identify_text(stored), "01.01");
}

}  // namespace
}  // namespace korvex::tests
