#include "drives/drive_record.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace korvex {
namespace {

constexpr std::array<std::string_view, 7> kDriveTypeNames = {
    "DRIVE_UNKNOWN", "DRIVE_NO_ROOT_DIR", "DRIVE_REMOVABLE", "DRIVE_FIXED",
    "DRIVE_REMOTE",  "DRIVE_CDROM",       "DRIVE_RAMDISK",
};

}  // namespace

std::string_view volume_text(const VolumeText& buffer) {
  return std::string_view(buffer.data(),
                          static_cast<std::size_t>(std::find(buffer.begin(), buffer.end(), '\0') -
                                                   buffer.begin()));
}

std::string_view drive_type_name(std::uint32_t drive_type) {
  return drive_type < kDriveTypeNames.size() ? kDriveTypeNames[drive_type] : kDriveTypeNames[0];
}

}  // namespace korvex
