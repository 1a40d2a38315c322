#include "drives/drive_inventory.h"

#include "drives/drive_enumeration.h"
#include "support/decimal_text.h"

namespace korvex {

std::int32_t DriveInventory::list_drives() {
  selected_ = nullptr;
  enumerate_drives(platform_, list_);
  return list_.count();
}

void DriveInventory::select_drive(std::int32_t index) { selected_ = list_.at(index); }

void DriveInventory::set_align(std::int32_t mode, std::int32_t places) {
  settings_.set(mode, places);
}

template <typename TextOf>
std::optional<std::string> DriveInventory::of_selected(TextOf text_of) const {
  if (selected_ == nullptr) return std::nullopt;
  return text_of(*selected_);
}

std::optional<std::string> DriveInventory::drive_letter() const {
  return of_selected([](const DriveRecord& drive) { return std::string(1, drive.drive_letter); });
}

std::optional<std::string> DriveInventory::file_system() const {
  return of_selected([](const DriveRecord& drive) { return volume_text(drive.file_system); });
}

std::optional<std::string> DriveInventory::volume_label() const {
  return of_selected([](const DriveRecord& drive) { return volume_text(drive.volume_label); });
}

// Serials from 2^31 up come out negative: hosts read the number signed.
std::optional<std::string> DriveInventory::volume_serial() const {
  return of_selected([](const DriveRecord& drive) {
    return integer_to_text(static_cast<std::int32_t>(drive.volume_serial));
  });
}

std::optional<std::string> DriveInventory::drive_type() const {
  return of_selected([](const DriveRecord& drive) { return drive_type_name(drive.drive_type); });
}

std::optional<std::string> DriveInventory::total_space() const {
  return of_selected(
      [this](const DriveRecord& drive) { return format_size(drive.total_space, settings_); });
}

std::optional<std::string> DriveInventory::free_space() const {
  return of_selected(
      [this](const DriveRecord& drive) { return format_size(drive.free_space, settings_); });
}

std::optional<std::string> DriveInventory::used_space() const {
  return of_selected(
      [this](const DriveRecord& drive) { return format_size(drive.used_space, settings_); });
}

std::optional<std::string> DriveInventory::used_percent() const {
  return of_selected([](const DriveRecord& drive) { return integer_to_text(drive.used_percent); });
}

std::optional<std::string> DriveInventory::free_percent() const {
  return of_selected([](const DriveRecord& drive) { return integer_to_text(drive.free_percent); });
}

}  // namespace korvex
