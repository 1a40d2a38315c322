// GetErrorMessage of the real DLL against the system's own message texts.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "korvex_dll.h"
#include "wine.h"

namespace korvex::tests {
namespace {

std::string system_text(DWORD code) {
  char buffer[256] = {};
  const DWORD count = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_ARGUMENT_ARRAY,
                                     nullptr, code, 0, buffer, sizeof buffer, nullptr);
  return std::string(buffer, count);
}

// The module's text is the system's without the blanks and line break that end it.
void expect_trimmed_system_text(const std::string& text, DWORD code) {
  const std::string system = system_text(code);
  EXPECT_EQ(system.substr(0, text.size()), text) << code;
  EXPECT_EQ(system.find_first_not_of(" \t\r\n", text.size()), std::string::npos) << code;
  EXPECT_TRUE(text.empty() || static_cast<unsigned char>(text.back()) > 0x20) << code;
}

// The export is looked up before the last error is set: GetProcAddress may change it.
TEST(DllErrorMessage, IsTheSystemTextOfTheLastErrorWithoutItsLineBreak) {
  KorvexDll dll;
  ASSERT_TRUE(dll.loaded());
  const auto get_error_message = dll.find<KorvexGetErrorMessageProc>("GetErrorMessage");
  ASSERT_NE(get_error_message, nullptr);
  struct Case {
    DWORD code;
    const char* wine_text;  // Wine's English text under LC_ALL=C
  };
  for (const Case& c : {Case{ERROR_FILE_NOT_FOUND, "File not found."}, Case{0, "Success."},
                        Case{0x2000FFFF, ""}}) {
    SetLastError(c.code);
    get_error_message();
    const std::string text = dll.get_file();
    expect_trimmed_system_text(text, c.code);
    if (running_under_wine()) {
      EXPECT_EQ(text, c.wine_text) << c.code;
    }
  }
  EXPECT_EQ(dll.get_file(), "") << "a code without a text gives the empty text";

  ASSERT_EQ(GetFileAttributesA("C:\\korvex\\no such file"), INVALID_FILE_ATTRIBUTES);
  get_error_message();
  const std::string text = dll.get_file();
  expect_trimmed_system_text(text, ERROR_FILE_NOT_FOUND);
  EXPECT_FALSE(text.empty());
}

}  // namespace
}  // namespace korvex::tests
