// The exchange exports of the real DLL, called as a host calls them.
#include <gtest/gtest.h>

#include "korvex_dll.h"
#include "support/extended_precision.h"

namespace korvex::tests {
namespace {

TEST(DllExchange, LoadsWithItsLoadTimeValues) {
  KorvexDll dll;
  ASSERT_TRUE(dll.loaded());
  EXPECT_EQ(dll.get_data(), 0);
  EXPECT_EQ(dll.get_file(), "");
  const std::string info = dll.text_of("GetInfo");
  EXPECT_EQ(info.rfind("Korvex v1.0\r\n", 0), 0u);
  EXPECT_EQ(dll.find<const char*(__cdecl*)()>("GetInfo")(),
            dll.find<const char*(__cdecl*)()>("GetInfo")());
  EXPECT_NE(dll.text_of("Copyright").find("example.org"), std::string::npos);
}

TEST(DllExchange, PushesLeaveTheResultCellsAlone) {
  KorvexDll dll;
  ASSERT_TRUE(dll.loaded());
  dll.set_data(7);
  dll.set_file("ab\x01" "c");
  dll.set_file(nullptr);
  EXPECT_EQ(dll.get_data(), 0);
  EXPECT_EQ(dll.get_file(), "");
}

TEST(DllExchange, LeavesTheHostControlWordAsItWas) {
  const std::uint16_t saved = x87_control_word();
  for (const std::uint16_t host : {std::uint16_t{0x027F}, std::uint16_t{0x037F}}) {
    set_x87_control_word(host);
    {
      KorvexDll dll;
      ASSERT_TRUE(dll.loaded());
      dll.set_data(1);
      dll.get_data();
      dll.text_of("GetInfo");
      EXPECT_EQ(x87_control_word(), host);
    }
    EXPECT_EQ(x87_control_word(), host) << "after unload";
  }
  set_x87_control_word(saved);
}

}  // namespace
}  // namespace korvex::tests
