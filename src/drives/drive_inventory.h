// The drive inventory: ListDrives takes it, SelectDrive picks one record, the
// ten getters give one of its properties as text, and SetAlign changes how
// sizes are written.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "drives/size_format.h"
#include "platform/platform.h"

namespace korvex {

// The character buffers GetVolumeInformationA fills (MAX_PATH each).
inline constexpr std::uint32_t kVolumeTextSize = 260;
using VolumeText = std::array<char, kVolumeTextSize>;

// What ListDrives keeps about one drive.
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

// "DRIVE_FIXED" and the other names of GetDriveTypeA's values; a value the
// system does not document gets the name of the unknown type.
std::string_view drive_type_name(std::uint32_t drive_type);

// A part of a drive's total as a whole percentage: part ÷ (total ÷ 100) in
// the 80-bit format, rounded to the nearest integer with ties to even; the
// low 32 bits of that integer. A total of 0 gives 0.
std::int32_t whole_percentage(std::int64_t part, std::int64_t total);

class DriveInventory {
 public:
  explicit DriveInventory(Platform& platform);

  // Walks the drive letters "A" to "Z" anew, listing each drive that exists
  // and whose volume answers, in letter order; no drive is selected
  // afterwards. Returns the number of drives listed.
  std::int32_t list_drives();
  // The drive at that index of the list, or none for an index out of range.
  void select_drive(std::int32_t index);
  // Stores both size settings only when both are in range.
  void set_align(std::int32_t mode, std::int32_t places);

  // The selected drive's texts; none while no drive is selected. A text
  // stays valid until the next getter or ListDrives.
  std::optional<std::string_view> drive_letter();
  std::optional<std::string_view> file_system();
  std::optional<std::string_view> volume_label();
  std::optional<std::string_view> volume_serial();
  std::optional<std::string_view> drive_type();
  std::optional<std::string_view> total_space();
  std::optional<std::string_view> free_space();
  std::optional<std::string_view> used_space();
  std::optional<std::string_view> used_percent();
  std::optional<std::string_view> free_percent();

 private:
  template <typename TextOf>
  std::optional<std::string_view> of_selected(TextOf text_of);
  // The selected drive's text as write(drive, text) builds it in the
  // answer's reused storage.
  template <typename Write>
  std::optional<std::string_view> written(Write write);
  std::optional<std::string_view> size_text(std::int64_t DriveRecord::*field);

  Platform& platform_;
  // The records of the last ListDrives; a record's position is the index
  // SelectDrive takes.
  std::vector<DriveRecord> drives_;
  const DriveRecord* selected_ = nullptr;  // into drives_, which only list_drives changes
  SizeSettings settings_;
  std::string answer_text_;
};

}  // namespace korvex
