#include "drives/drive_inventory.h"

#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "platform/platform_wrapper.h"
#include "observing_platform.h"
#include "platform/sim/simulated_machine.h"

namespace korvex::tests {
namespace {

constexpr std::uint32_t kNotReady = 21;

struct DriveInventoryTest : ::testing::Test {
  SimulatedMachine machine;
  DriveInventory drives{machine};

  std::string letter_at(std::int32_t index) {
    drives.select_drive(index);
    return std::string(drives.drive_letter().value_or("(none)"));
  }
};

TEST_F(DriveInventoryTest, KeepsOnlyDrivesWhoseVolumeAnswers) {
  machine.drives['A'] = {.type = 2, .volume_error = kNotReady};  // floppy drive without a disk
  machine.drives['C'] = {};
  machine.drives['D'] = {.type = 5, .volume_error = kNotReady};  // optical drive without a disc
  EXPECT_EQ(drives.list_drives(), 1);
  EXPECT_EQ(letter_at(0), "C");
}

TEST_F(DriveInventoryTest, ListsInLetterOrder) {
  for (const char letter : {'Z', 'E', 'C', 'Q'}) machine.drives[letter] = {};
  EXPECT_EQ(drives.list_drives(), 4);
  std::string letters;
  for (std::int32_t i = 0; i < 4; ++i) letters += letter_at(i);
  EXPECT_EQ(letters, "CEQZ");
}

TEST_F(DriveInventoryTest, GettersGiveTheSelectedDrivesTexts) {
  constexpr std::int64_t kGiB = std::int64_t{1} << 30;
  machine.drives['C'] = {.type = 3, .label = "SYSTEM", .serial = 0x1234ABCD,
                         .total = 100 * kGiB, .free = 25 * kGiB};
  machine.drives['E'] = {.type = 5, .file_system = "CDFS", .serial = 0xA4B3C2D1,
                         .total = 32768, .free = 28672};
  machine.drives['F'] = {.type = 6, .serial = 0xFFFFFFFF};  // a volume of no size
  machine.drives['G'] = {.type = 9, .total = 4096, .free = 4096, .space_error = 5};
  struct Expected {
    const char* letter;
    const char* file_system;
    const char* label;
    const char* serial;
    const char* type;
    const char* total;
    const char* free;
    const char* used;
    const char* used_percent;
    const char* free_percent;
  };
  const Expected expected[] = {
      {"C", "NTFS", "SYSTEM", "305441741", "DRIVE_FIXED", "100 GB", "25 GB", "75 GB", "75", "25"},
      {"E", "CDFS", "", "-1531723055", "DRIVE_CDROM", "32 KB", "28 KB", "4 KB", "12", "88"},
      {"F", "NTFS", "", "-1", "DRIVE_RAMDISK", "0 B ", "0 B ", "0 B ", "0", "0"},
      // A type Windows does not document, and a failing space query: listed, with no space.
      {"G", "NTFS", "", "0", "DRIVE_UNKNOWN", "0 B ", "0 B ", "0 B ", "0", "0"},
  };
  ASSERT_EQ(drives.list_drives(), 4);
  for (std::int32_t i = 0; i < 4; ++i) {
    const Expected& drive = expected[i];
    drives.select_drive(i);
    EXPECT_EQ(drives.drive_letter(), drive.letter);
    EXPECT_EQ(drives.file_system(), drive.file_system) << drive.letter;
    EXPECT_EQ(drives.volume_label(), drive.label) << drive.letter;
    EXPECT_EQ(drives.volume_serial(), drive.serial) << drive.letter;
    EXPECT_EQ(drives.drive_type(), drive.type) << drive.letter;
    EXPECT_EQ(drives.total_space(), drive.total) << drive.letter;
    EXPECT_EQ(drives.free_space(), drive.free) << drive.letter;
    EXPECT_EQ(drives.used_space(), drive.used) << drive.letter;
    EXPECT_EQ(drives.used_percent(), drive.used_percent) << drive.letter;
    EXPECT_EQ(drives.free_percent(), drive.free_percent) << drive.letter;
  }
}

// The host's own bits (here SEM_NOGPFAULTERRORBOX and SEM_NOOPENFILEERRORBOX)
// stay set during the walk.
TEST(DriveErrorMode, VolumesAreReadWithCriticalErrorsFailingQuietly) {
  for (const std::uint32_t host_mode : {0x0u, 0x8002u, 0x8003u}) {
    SimulatedMachine machine;
    machine.thread_error_mode = host_mode;
    machine.drives['A'] = {.type = 2, .volume_error = kNotReady};
    machine.drives['C'] = {};
    ObservingPlatform recorder(machine);
    DriveInventory(recorder).list_drives();
    const std::uint32_t quiet = host_mode | win32::kSemFailCriticalErrors;
    EXPECT_EQ(recorder.error_modes_during_volume_reads,
              (std::vector<std::optional<std::uint32_t>>{quiet, quiet}))
        << host_mode;
    EXPECT_EQ(machine.thread_error_mode, host_mode);
  }
}

// XP and Vista: no per-thread mode, so the process's mode is quiet for the
// walk and the host's own mode, whatever it was, is back after it.
TEST(DriveErrorMode, TheProcessModeIsQuietForTheWalkWhereTheSystemLacksThreadErrorModes) {
  for (const std::uint32_t host_mode : {0x0u, 0x8002u, 0x8003u}) {
    SimulatedMachine machine;
    machine.has_thread_error_mode = false;
    machine.thread_error_mode = 0x4;
    machine.process_error_mode = host_mode;
    machine.drives['A'] = {.type = 2, .volume_error = kNotReady};
    machine.drives['C'] = {};
    ObservingPlatform observer(machine);
    EXPECT_EQ(DriveInventory(observer).list_drives(), 1);
    const std::uint32_t quiet = host_mode | win32::kSemFailCriticalErrors;
    EXPECT_EQ(observer.process_error_modes_during_volume_reads,
              (std::vector<std::optional<std::uint32_t>>{quiet, quiet}))
        << host_mode;
    EXPECT_EQ(machine.process_error_mode, host_mode);
    EXPECT_EQ(machine.thread_error_mode, 0x4u);
  }
}

// Where the thread has a mode of its own, the process's stays untouched.
TEST(DriveErrorMode, TheProcessModeStaysWhereTheThreadHasItsOwn) {
  SimulatedMachine machine;
  machine.process_error_mode = 0x8002;
  machine.drives['C'] = {};
  ObservingPlatform observer(machine);
  DriveInventory(observer).list_drives();
  EXPECT_EQ(observer.process_error_modes_during_volume_reads,
            std::vector<std::optional<std::uint32_t>>{std::nullopt});
  EXPECT_EQ(machine.process_error_mode, 0x8002u);
}

// A volume name that fills the whole buffer without a NUL ends at the buffer.
class FullLabelBuffer final : public PlatformWrapper {
 public:
  using PlatformWrapper::PlatformWrapper;
  bool get_volume_information(const char* root, char* label, std::uint32_t label_size,
                              std::uint32_t* serial, char* file_system,
                              std::uint32_t file_system_size) override {
    const bool ok = PlatformWrapper::get_volume_information(root, label, label_size, serial,
                                                            file_system, file_system_size);
    std::memset(label, 'L', label_size);
    return ok;
  }
};

TEST(DriveRecordTexts, EndAtTheBufferWhenItHoldsNoNul) {
  SimulatedMachine machine;
  machine.drives['C'] = {};
  FullLabelBuffer platform(machine);
  DriveInventory drives(platform);
  drives.list_drives();
  drives.select_drive(0);
  EXPECT_EQ(drives.volume_label(), std::string(260, 'L'));
}

}  // namespace
}  // namespace korvex::tests

namespace korvex::tests {
namespace {

// As Windows does, the machine refuses a label that does not fit the buffer
// (ERROR_BAD_LENGTH) instead of cutting it.
TEST(SimulatedVolumeLabel, ALabelLongerThanTheBufferFailsTheCall) {
  SimulatedMachine machine;
  char label[8];
  char file_system[8];
  for (const std::size_t length : {std::size_t{7}, std::size_t{8}}) {
    machine.drives['C'] = {.label = std::string(length, 'L')};
    const bool fits = length < sizeof label;
    EXPECT_EQ(machine.get_volume_information("C:\\", label, sizeof label, nullptr, file_system,
                                             sizeof file_system),
              fits)
        << length;
    if (fits) {
      EXPECT_EQ(std::string(label), std::string(length, 'L'));
    } else {
      EXPECT_EQ(machine.last_error, 24u);
    }
  }
}

}  // namespace
}  // namespace korvex::tests
