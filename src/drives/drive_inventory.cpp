#include "drives/drive_inventory.h"

#include "drives/drive_enumeration.h"
#include "support/decimal_text.h"

namespace korvex {

DriveInventory::DriveInventory(Platform& platform, ValueExchange& exchange)
    : platform_(platform), exchange_(exchange) {}

void DriveInventory::list_drives() {
  selected_ = nullptr;
  enumerate_drives(platform_, list_);
  exchange_.set_result(list_.count());
}

void DriveInventory::select_drive() { selected_ = list_.at(exchange_.data_slot(0)); }

// The host pushes the decimal places first and the mode last.
void DriveInventory::set_align() { settings_.set(exchange_.data_slot(0), exchange_.data_slot(1)); }

template <typename TextOf>
void DriveInventory::answer(TextOf text_of) {
  if (selected_ != nullptr) exchange_.set_text_result(text_of(*selected_));
}

void DriveInventory::get_drive_letter() {
  answer([](const DriveRecord& drive) { return std::string(1, drive.drive_letter); });
}

void DriveInventory::get_drive_file_system() {
  answer([](const DriveRecord& drive) { return volume_text(drive.file_system); });
}

void DriveInventory::get_volume_label() {
  answer([](const DriveRecord& drive) { return volume_text(drive.volume_label); });
}

// Serials from 2^31 up come out negative: hosts read the number signed.
void DriveInventory::get_volume_serial() {
  answer([](const DriveRecord& drive) {
    return integer_to_text(static_cast<std::int32_t>(drive.volume_serial));
  });
}

void DriveInventory::get_drive_type() {
  answer([](const DriveRecord& drive) { return drive_type_name(drive.drive_type); });
}

void DriveInventory::get_total_space() {
  answer([this](const DriveRecord& drive) { return format_size(drive.total_space, settings_); });
}

void DriveInventory::get_free_space() {
  answer([this](const DriveRecord& drive) { return format_size(drive.free_space, settings_); });
}

void DriveInventory::get_used_space() {
  answer([this](const DriveRecord& drive) { return format_size(drive.used_space, settings_); });
}

void DriveInventory::get_used_percent() {
  answer([](const DriveRecord& drive) { return integer_to_text(drive.used_percent); });
}

void DriveInventory::get_free_percent() {
  answer([](const DriveRecord& drive) { return integer_to_text(drive.free_percent); });
}

}  // namespace korvex
