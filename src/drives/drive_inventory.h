// The drive inventory: ListDrives takes it, SelectDrive picks one record, the
// ten getters give one of its properties as text, and SetAlign changes how
// sizes are written.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "drives/drive_list.h"
#include "drives/size_format.h"
#include "platform/platform.h"

namespace korvex {

class DriveInventory {
 public:
  explicit DriveInventory(Platform& platform) : platform_(platform) {}

  // Walks the drive letters anew; no drive is selected afterwards. Returns
  // the number of drives listed.
  std::int32_t list_drives();
  // The drive at that index of the list, or none for an index out of range.
  void select_drive(std::int32_t index);
  // Stores both size settings only when both are in range.
  void set_align(std::int32_t mode, std::int32_t places);

  // The selected drive's texts; none while no drive is selected.
  std::optional<std::string> drive_letter() const;
  std::optional<std::string> file_system() const;
  std::optional<std::string> volume_label() const;
  std::optional<std::string> volume_serial() const;
  std::optional<std::string> drive_type() const;
  std::optional<std::string> total_space() const;
  std::optional<std::string> free_space() const;
  std::optional<std::string> used_space() const;
  std::optional<std::string> used_percent() const;
  std::optional<std::string> free_percent() const;

 private:
  template <typename TextOf>
  std::optional<std::string> of_selected(TextOf text_of) const;

  Platform& platform_;
  DriveList list_;
  const DriveRecord* selected_ = nullptr;  // into list_, which only list_drives changes
  SizeSettings settings_;
};

}  // namespace korvex
