// The real DLL on a system of the 9x family: GetHddInfo asks the SMART
// driver, whatever the device number. Run with the prefix's Windows version
// set to win98 for this program.
#include <windows.h>

#include <gtest/gtest.h>

#include "korvex_dll.h"
#include "wine.h"

namespace korvex::tests {
namespace {

TEST(DllSmartPath, GetHddInfoReportsWhyTheSmartDriverDidNotOpen) {
  // What Wine does: it presents Windows 98 to this program (win98.wine-setup)
  // and has no SMART driver. A real Windows 98 may have one.
  if (!running_under_wine()) GTEST_SKIP() << "needs Wine's Windows 98 without a SMART driver";
  ASSERT_EQ(GetVersion(), 0xC0000A04u) << "the prefix must present Windows 98 to this program";
  const HANDLE smart = CreateFileA("\\\\.\\SMARTVSD", 0, 0, nullptr, CREATE_NEW, 0, nullptr);
  ASSERT_EQ(smart, INVALID_HANDLE_VALUE);
  const DWORD smart_error = GetLastError();
  // On the NT path device 0 would end at the physical drive's refusal instead.
  ASSERT_EQ(smart_error, static_cast<DWORD>(ERROR_FILE_NOT_FOUND));

  KorvexDll dll;
  ASSERT_TRUE(dll.loaded());
  EXPECT_EQ(dll.hdd_info(0), std::make_pair(std::string(), static_cast<std::int32_t>(smart_error)));
  dll.call("GetHddModelNumber");
  EXPECT_EQ(dll.get_file(), "");
}

}  // namespace
}  // namespace korvex::tests
