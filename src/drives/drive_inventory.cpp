#include "drives/drive_inventory.h"

#include <algorithm>
#include <cmath>

#include "platform/kept_last_error.h"
#include "support/decimal_text.h"
#include "support/extended_precision.h"

namespace korvex {
namespace {

// Room for the longest text a getter builds (a size such as "9007199254740990 KB").
constexpr std::size_t kAnswerRoom = 32;

constexpr std::array<std::string_view, 7> kDriveTypeNames = {
    "DRIVE_UNKNOWN", "DRIVE_NO_ROOT_DIR", "DRIVE_REMOVABLE", "DRIVE_FIXED",
    "DRIVE_REMOTE",  "DRIVE_CDROM",       "DRIVE_RAMDISK",
};

// The characters up to the first NUL, or the whole buffer when it holds none.
std::string_view volume_text(const VolumeText& buffer) {
  return std::string_view(buffer.data(),
                          static_cast<std::size_t>(std::find(buffer.begin(), buffer.end(), '\0') -
                                                   buffer.begin()));
}

// Reading an empty removable drive (a floppy or card reader without a medium)
// can make Windows ask for a disk in a dialog that blocks the host. For the
// walk, this thread alone fails such reads quietly instead, keeping whatever
// other error-mode bits the host set; the host's other threads and its
// process-wide mode stay as they are, and the thread gets its own mode back on
// every way out. Where the system lacks the per-thread calls (before Windows
// 7), the process's mode is changed the same way for the walk and put back
// after it: that system has no other way to keep the box away. The error-mode
// calls leave the thread's last-error code alone, whether they fail or not.
class QuietCriticalErrors {
 public:
  explicit QuietCriticalErrors(Platform& platform) : platform_(platform) {
    const KeptLastError kept(platform);
    std::uint32_t current = 0;
    if (!platform.get_thread_error_mode(&current)) {
      // XP has no GetErrorMode: the previous mode comes from setting one.
      process_previous_ = platform.set_error_mode(win32::kSemFailCriticalErrors);
      platform.set_error_mode(*process_previous_ | win32::kSemFailCriticalErrors);
      return;
    }
    changed_ = platform.set_thread_error_mode(current | win32::kSemFailCriticalErrors, &previous_);
  }
  ~QuietCriticalErrors() {
    const KeptLastError kept(platform_);
    if (process_previous_) platform_.set_error_mode(*process_previous_);
    if (!changed_) return;
    std::uint32_t ours = 0;
    platform_.set_thread_error_mode(previous_, &ours);
  }
  QuietCriticalErrors(const QuietCriticalErrors&) = delete;
  QuietCriticalErrors& operator=(const QuietCriticalErrors&) = delete;

 private:
  Platform& platform_;
  std::uint32_t previous_ = 0;
  bool changed_ = false;
  std::optional<std::uint32_t> process_previous_;
};

std::optional<DriveRecord> read_drive(Platform& platform, char letter) {
  const char root[] = {letter, ':', '\\', '\0'};
  const std::uint32_t type = platform.get_drive_type(root);
  if (type == win32::kDriveNoRootDir) return std::nullopt;

  DriveRecord record;
  record.drive_letter = letter;
  if (!platform.get_volume_information(root, record.volume_label.data(), kVolumeTextSize,
                                       &record.volume_serial, record.file_system.data(),
                                       kVolumeTextSize)) {
    return std::nullopt;  // no medium, or a volume that cannot be read
  }
  record.drive_type = type;

  // A failing call leaves the drive listed with no space, not with whatever
  // the outputs happened to hold.
  std::uint64_t caller_free = 0;
  std::uint64_t total = 0;
  platform.get_disk_free_space(root, &caller_free, &total);
  record.total_space = static_cast<std::int64_t>(total);
  record.free_space = static_cast<std::int64_t>(caller_free);
  record.used_space = static_cast<std::int64_t>(total - caller_free);
  record.used_percent = whole_percentage(record.used_space, record.total_space);
  record.free_percent = whole_percentage(record.free_space, record.total_space);
  return record;
}

}  // namespace

std::string_view drive_type_name(std::uint32_t drive_type) {
  return drive_type < kDriveTypeNames.size() ? kDriveTypeNames[drive_type] : kDriveTypeNames[0];
}

std::int32_t whole_percentage(std::int64_t part, std::int64_t total) {
  if (total == 0) return 0;
  ExtendedPrecision precision;
  // The hundredth is rounded on its own before the division. Near a tie that
  // rounding decides the answer, and a 53-bit one can decide it differently
  // (200704 free of 229376 gives 87 there), so both steps stay 80-bit.
  const long double hundredth = static_cast<long double>(total) / 100;
  const long double quotient = static_cast<long double>(part) / hundredth;
  // llrint has a defined (if unspecified) answer for quotients beyond 64 bits,
  // which only a free count above the total could give.
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(std::llrint(quotient)));
}

DriveInventory::DriveInventory(Platform& platform) : platform_(platform) {
  answer_text_.reserve(kAnswerRoom);
}

std::int32_t DriveInventory::list_drives() {
  selected_ = nullptr;
  drives_.clear();
  QuietCriticalErrors quiet(platform_);
  for (char letter = 'A'; letter <= 'Z'; ++letter) {
    if (const auto record = read_drive(platform_, letter)) drives_.push_back(*record);
  }
  return static_cast<std::int32_t>(drives_.size());
}

void DriveInventory::select_drive(std::int32_t index) {
  const bool listed = index >= 0 && static_cast<std::size_t>(index) < drives_.size();
  selected_ = listed ? &drives_[static_cast<std::size_t>(index)] : nullptr;
}

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
