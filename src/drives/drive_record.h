// What ListDrives keeps about one drive, and the text forms of its fields.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace korvex {

// The character buffers GetVolumeInformationA fills (MAX_PATH each).
inline constexpr std::uint32_t kVolumeTextSize = 260;
using VolumeText = std::array<char, kVolumeTextSize>;

struct DriveRecord {
  std::uint32_t drive_type = 0;  // GetDriveTypeA's value
  std::int64_t total_space = 0;
  std::int64_t free_space = 0;   // available to the calling user
  std::int64_t used_space = 0;
  std::int32_t used_percent = 0;
  std::int32_t free_percent = 0;
  char drive_letter = 'A';
  VolumeText volume_label{};
  VolumeText file_system{};
  std::uint32_t volume_serial = 0;
};

// The characters up to the first NUL, or the whole buffer when it holds none.
std::string_view volume_text(const VolumeText& buffer);

// "DRIVE_FIXED" and the other names of GetDriveTypeA's values; a value the
// system does not document gets the name of the unknown type.
std::string_view drive_type_name(std::uint32_t drive_type);

}  // namespace korvex
