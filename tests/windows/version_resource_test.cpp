// The version resource that Windows' file properties show for Korvex.dll.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "library_loader.h"

namespace {

class VersionResource : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string path = korvex::host_tool::program_directory() + "Korvex.dll";
    DWORD ignored = 0;
    data_.resize(GetFileVersionInfoSizeA(path.c_str(), &ignored));
    ASSERT_FALSE(data_.empty()) << "no version resource, error " << GetLastError();
    ASSERT_TRUE(GetFileVersionInfoA(path.c_str(), 0, static_cast<DWORD>(data_.size()), data_.data()));
  }

  std::string string_value(const char* name) {
    char* value = nullptr;
    UINT length = 0;
    const std::string key = std::string("\\StringFileInfo\\040904E4\\") + name;
    if (!VerQueryValueA(data_.data(), key.c_str(), reinterpret_cast<void**>(&value), &length)) {
      return "<missing>";
    }
    return std::string(value);
  }

  std::vector<char> data_;
};

TEST_F(VersionResource, NamesTheProductAndVersion) {
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueA(data_.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
  EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u);
  EXPECT_EQ(fixed->dwFileVersionLS, 0u);
  EXPECT_EQ(fixed->dwProductVersionMS, 0x00010000u);
  EXPECT_EQ(fixed->dwProductVersionLS, 0u);
  EXPECT_EQ(string_value("ProductName"), "Korvex");
  EXPECT_EQ(string_value("OriginalFilename"), "Korvex.dll");
  EXPECT_EQ(string_value("FileVersion"), "1.0.0.0");
  EXPECT_EQ(string_value("ProductVersion"), "1.0.0.0");
}

}  // namespace
