#include "drives/drive_inventory.h"

#include "drives/drive_enumeration.h"
#include "support/decimal_text.h"

namespace korvex {
namespace {

// Room for the longest text a getter builds (a size such as "9007199254740990 KB").
constexpr std::size_t kAnswerRoom = 32;

}  // namespace

DriveInventory::DriveInventory(Platform& platform) : platform_(platform) {
  answer_text_.reserve(kAnswerRoom);
}

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
std::optional<std::string_view> DriveInventory::of_selected(TextOf text_of) {
  if (selected_ == nullptr) return std::nullopt;
  return text_of(*selected_);
}

template <typename Write>
std::optional<std::string_view> DriveInventory::written(Write write) {
  return of_selected([&](const DriveRecord& drive) {
    answer_text_.clear();
    write(drive, answer_text_);
    return std::string_view(answer_text_);
  });
}

std::optional<std::string_view> DriveInventory::size_text(std::int64_t DriveRecord::*field) {
  return written([this, field](const DriveRecord& drive, std::string& text) {
    append_size_text(drive.*field, settings_, text);
  });
}

std::optional<std::string_view> DriveInventory::drive_letter() {
  return of_selected(
      [](const DriveRecord& drive) { return std::string_view(&drive.drive_letter, 1); });
}

std::optional<std::string_view> DriveInventory::file_system() {
  return of_selected([](const DriveRecord& drive) { return volume_text(drive.file_system); });
}

std::optional<std::string_view> DriveInventory::volume_label() {
  return of_selected([](const DriveRecord& drive) { return volume_text(drive.volume_label); });
}

// Serials from 2^31 up come out negative: hosts read the number signed.
std::optional<std::string_view> DriveInventory::volume_serial() {
  return written([](const DriveRecord& drive, std::string& text) {
    append_integer_text(static_cast<std::int32_t>(drive.volume_serial), text);
  });
}

std::optional<std::string_view> DriveInventory::drive_type() {
  return of_selected([](const DriveRecord& drive) { return drive_type_name(drive.drive_type); });
}

std::optional<std::string_view> DriveInventory::total_space() {
  return size_text(&DriveRecord::total_space);
}

std::optional<std::string_view> DriveInventory::free_space() {
  return size_text(&DriveRecord::free_space);
}

std::optional<std::string_view> DriveInventory::used_space() {
  return size_text(&DriveRecord::used_space);
}

std::optional<std::string_view> DriveInventory::used_percent() {
  return written([](const DriveRecord& drive, std::string& text) {
    append_integer_text(drive.used_percent, text);
  });
}

std::optional<std::string_view> DriveInventory::free_percent() {
  return written([](const DriveRecord& drive, std::string& text) {
    append_integer_text(drive.free_percent, text);
  });
}

}  // namespace korvex
