#include "drives/drive_enumeration.h"

#include <optional>

#include "drives/percentage.h"
#include "platform/kept_last_error.h"

namespace korvex {
namespace {

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

void enumerate_drives(Platform& platform, DriveList& list) {
  list.clear();
  QuietCriticalErrors quiet(platform);
  for (char letter = 'A'; letter <= 'Z'; ++letter) {
    if (const auto record = read_drive(platform, letter)) list.append(*record);
  }
}

}  // namespace korvex
