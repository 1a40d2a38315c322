// The version resources that Windows' file properties show for Korvex.dll and
// korvex-host.exe, both from the one version header.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "library_loader.h"

namespace {

struct VersionedFile {
  const char* name;
  DWORD file_type;
  const char* internal_name;
  DWORD file_os;  // the DLL is for both families, the host program for NT
};

// korvex-host.exe lies beside the test program under Wine through
// host-program.wine-setup.
class VersionResource : public ::testing::TestWithParam<VersionedFile> {
 protected:
  void SetUp() override {
    const std::string path = korvex::host_tool::program_directory() + GetParam().name;
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

TEST_P(VersionResource, NamesTheProductVersionAndMaker) {
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueA(data_.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
  EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u);
  EXPECT_EQ(fixed->dwFileVersionLS, 0u);
  EXPECT_EQ(fixed->dwProductVersionMS, 0x00010000u);
  EXPECT_EQ(fixed->dwProductVersionLS, 0u);
  EXPECT_EQ(fixed->dwFileOS, GetParam().file_os);
  EXPECT_EQ(fixed->dwFileType, GetParam().file_type);
  EXPECT_EQ(string_value("CompanyName"), "The Korvex developers");
  EXPECT_EQ(string_value("ProductName"), "Korvex");
  EXPECT_EQ(string_value("OriginalFilename"), GetParam().name);
  EXPECT_EQ(string_value("InternalName"), GetParam().internal_name);
  EXPECT_EQ(string_value("FileVersion"), "1.0.0.0");
  EXPECT_EQ(string_value("ProductVersion"), "1.0.0.0");
  EXPECT_EQ(string_value("LegalCopyright"),
            "Copyright (C) 2026 The Korvex developers <korvex@example.org>, MIT License");
}

INSTANTIATE_TEST_SUITE_P(ShippedFiles, VersionResource,
                         ::testing::Values(VersionedFile{"Korvex.dll", VFT_DLL, "Korvex", VOS__WINDOWS32},
                                           VersionedFile{"korvex-host.exe", VFT_APP,
                                                         "korvex-host", VOS_NT_WINDOWS32}));

}  // namespace
