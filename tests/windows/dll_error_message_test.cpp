// GetErrorMessage of the real DLL against the system's own message texts
// (LC_ALL=C under Wine).
#include <gtest/gtest.h>

#include <windows.h>

#include "korvex_dll.h"

namespace korvex::testing {
namespace {

// The export is looked up before the last error is set: GetProcAddress may change it.
TEST(DllErrorMessage, IsTheSystemTextOfTheLastErrorWithoutItsLineBreak) {
  KorvexDll dll;
  ASSERT_TRUE(dll.loaded());
  const auto get_error_message = dll.find<void(__cdecl*)()>("GetErrorMessage");
  ASSERT_NE(get_error_message, nullptr);
  struct Case {
    DWORD code;
    const char* text;
  };
  for (const Case& c : {Case{ERROR_FILE_NOT_FOUND, "File not found."}, Case{0, "Success."},
                        Case{0x2000FFFF, ""}}) {
    SetLastError(c.code);
    get_error_message();
    EXPECT_EQ(dll.get_file(), c.text) << c.code;
  }

  ASSERT_EQ(GetFileAttributesA("C:\\korvex\\no such file"), INVALID_FILE_ATTRIBUTES);
  get_error_message();
  EXPECT_EQ(dll.get_file(), "File not found.");
}

}  // namespace
}  // namespace korvex::testing
