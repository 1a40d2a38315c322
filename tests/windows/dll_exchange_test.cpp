// The exchange exports of the real DLL, called as a host calls them.
#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <string>

#include "korvex_dll.h"
#include "thread.h"
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
  EXPECT_EQ(dll.find<KorvexGetInfoProc>("GetInfo")(),
            dll.find<KorvexGetInfoProc>("GetInfo")());
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

// Two host threads calling at once: their answers mix, but the module stays
// whole and answers as before afterwards. Texts are never read in the threads:
// a GetFile pointer may already be stale there, which is the host's mistake.
TEST(DllExchange, TwoThreadsCallingAtOnceLeaveTheModuleWhole) {
  KorvexDll dll;
  ASSERT_TRUE(dll.loaded());
  const std::int32_t drives = dll.number_answer("ListDrives");
  ASSERT_GE(drives, 1);

  const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(500);
  const auto host_thread = [&dll, until](int number) {
    const std::string pushed =
        "a pushed text too long for the short buffer, thread " + std::to_string(number);
    while (std::chrono::steady_clock::now() < until) {
      dll.set_file(pushed.c_str());
      dll.call("ListDrives");
      dll.set_data(0);
      dll.call("SelectDrive");
      dll.call("GetVolumeLabel");
      dll.call("GetTotalSpace");
      dll.call("GetHddInfo");
      SetLastError(ERROR_FILE_NOT_FOUND);
      dll.call("GetErrorMessage");
      dll.call("GetFile");
    }
  };
  Thread other([&] { host_thread(1); });
  host_thread(0);
  other.join();

  EXPECT_EQ(dll.number_answer("ListDrives"), drives);
  dll.set_data(0);
  dll.call("SelectDrive");
  EXPECT_EQ(dll.text_answer("GetDriveLetter"), "C");
}

}  // namespace
}  // namespace korvex::tests
