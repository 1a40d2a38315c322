// The drive exports: ListDrives takes the inventory, SelectDrive picks one
// record, the ten getters put one of its properties into the text result, and
// SetAlign changes how sizes are written.
#pragma once

#include <string>

#include "drives/drive_list.h"
#include "drives/size_format.h"
#include "host/value_exchange.h"
#include "platform/platform.h"

namespace korvex {

class DriveInventory {
 public:
  DriveInventory(Platform& platform, ValueExchange& exchange);

  void list_drives();
  void select_drive();
  void set_align();

  // Each writes the text result from the selected drive; with no drive
  // selected they leave it as it was.
  void get_drive_letter();
  void get_drive_file_system();
  void get_volume_label();
  void get_volume_serial();
  void get_drive_type();
  void get_total_space();
  void get_free_space();
  void get_used_space();
  void get_used_percent();
  void get_free_percent();

 private:
  template <typename TextOf>
  void answer(TextOf text_of);

  Platform& platform_;
  ValueExchange& exchange_;
  DriveList list_;
  const DriveRecord* selected_ = nullptr;  // into list_, which only ListDrives changes
  SizeSettings settings_;
};

}  // namespace korvex
