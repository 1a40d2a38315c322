// korvex.h's KorvexSerialText, which hosts compile into their own code: the
// form Windows shows for every 32-bit serial, and no answer at all for a text
// that is not GetVolumeSerial's signed decimal.
#include "korvex.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace korvex::tests {
namespace {

TEST(SerialText, ShowsTheBitPatternOfTheSignedDecimal) {
  struct Case {
    const char* decimal;
    const char* shown;
  };
  for (const Case& c : {Case{"0", "0000-0000"}, Case{"305441741", "1234-ABCD"},
                        Case{"-1531723055", "A4B3-C2D1"}, Case{"-1", "FFFF-FFFF"},
                        Case{"2147483647", "7FFF-FFFF"}, Case{"-2147483648", "8000-0000"},
                        Case{"-0", "0000-0000"}, Case{"007", "0000-0007"}}) {
    char out[10];
    EXPECT_EQ(KorvexSerialText(c.decimal, out), out) << c.decimal;
    EXPECT_STREQ(out, c.shown) << c.decimal;
  }
}

// A rejected text gives NULL and leaves the caller's buffer as it was.
TEST(SerialText, RejectsWhatIsNoThirtyTwoBitDecimal) {
  const char* const rejected[] = {
      nullptr,         "",           "-",           "12a4",       "1 ",
      " 1",            "+1",         "0x10",        "1-",         "--1",
      "2147483648",    "-2147483649", "4294967295", "4294967296", "99999999999999999999",
  };
  for (const char* decimal : rejected) {
    char out[10];
    std::memcpy(out, "untouched", sizeof out);
    EXPECT_EQ(KorvexSerialText(decimal, out), nullptr) << (decimal ? decimal : "NULL");
    EXPECT_STREQ(out, "untouched") << (decimal ? decimal : "NULL");
  }
}

}  // namespace
}  // namespace korvex::tests
