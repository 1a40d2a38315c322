// The drive inventory: ListDrives takes it, SelectDrive picks one record, the
// ten getters give one of its properties as text, and SetAlign changes how
// sizes are written.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "drives/drive_list.h"
#include "drives/size_format.h"
#include "platform/platform.h"

namespace korvex {

class DriveInventory {
 public:
  explicit DriveInventory(Platform& platform);

  // Walks the drive letters anew; no drive is selected afterwards. Returns
  // the number of drives listed.
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
  DriveList list_;
  const DriveRecord* selected_ = nullptr;  // into list_, which only list_drives changes
  SizeSettings settings_;
  std::string answer_text_;
};

}  // namespace korvex
