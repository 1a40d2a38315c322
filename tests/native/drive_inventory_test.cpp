#include "drives/drive_inventory.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "host/module.h"
#include "platform/platform_wrapper.h"
#include "platform/sim/simulated_machine.h"

namespace korvex {
namespace {

constexpr std::uint32_t kNotReady = 21;

using Getter = void (DriveInventory::*)();

struct DriveInventoryTest : ::testing::Test {
  SimulatedMachine machine;
  Module module{machine};

  void list() { module.drives.list_drives(); }
  void select(std::int32_t index) {
    module.host.set_data(index);
    module.drives.select_drive();
  }
  std::string text_of(Getter getter) {
    (module.drives.*getter)();
    return module.exchange.text_result();
  }
};

TEST_F(DriveInventoryTest, KeepsOnlyDrivesWhoseVolumeAnswers) {
  machine.drives['A'] = {.type = 2, .volume_error = kNotReady};  // floppy drive without a disk
  machine.drives['C'] = {};
  machine.drives['D'] = {.type = 5, .volume_error = kNotReady};  // optical drive without a disc
  list();
  EXPECT_EQ(module.host.get_data(), 1);
  select(0);
  EXPECT_EQ(text_of(&DriveInventory::get_drive_letter), "C");
  EXPECT_EQ(module.host.get_data(), 1) << "getters leave the result slot alone";
}

TEST_F(DriveInventoryTest, ListsInLetterOrderAndWritesOnlyTheCount) {
  for (const char letter : {'Z', 'E', 'C', 'Q'}) machine.drives[letter] = {};
  module.host.set_data(-5);
  module.exchange.set_text_result("before");
  list();
  EXPECT_EQ(module.host.get_data(), 4);
  EXPECT_EQ(module.exchange.text_result(), "before");
  EXPECT_EQ(module.exchange.data_slot(0), -5);
  std::string letters;
  for (std::int32_t i = 0; i < 4; ++i) {
    select(i);
    letters += text_of(&DriveInventory::get_drive_letter);
  }
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
  list();
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
  const Expected drives[] = {
      {"C", "NTFS", "SYSTEM", "305441741", "DRIVE_FIXED", "100 GB", "25 GB", "75 GB", "75", "25"},
      {"E", "CDFS", "", "-1531723055", "DRIVE_CDROM", "32 KB", "28 KB", "4 KB", "12", "88"},
      {"F", "NTFS", "", "-1", "DRIVE_RAMDISK", "0 B ", "0 B ", "0 B ", "0", "0"},
      // A type Windows does not document, and a failing space query: listed, with no space.
      {"G", "NTFS", "", "0", "DRIVE_UNKNOWN", "0 B ", "0 B ", "0 B ", "0", "0"},
  };
  ASSERT_EQ(module.host.get_data(), 4);
  for (std::int32_t i = 0; i < 4; ++i) {
    const Expected& drive = drives[i];
    select(i);
    EXPECT_EQ(text_of(&DriveInventory::get_drive_letter), drive.letter);
    EXPECT_EQ(text_of(&DriveInventory::get_drive_file_system), drive.file_system) << drive.letter;
    EXPECT_EQ(text_of(&DriveInventory::get_volume_label), drive.label) << drive.letter;
    EXPECT_EQ(text_of(&DriveInventory::get_volume_serial), drive.serial) << drive.letter;
    EXPECT_EQ(text_of(&DriveInventory::get_drive_type), drive.type) << drive.letter;
    EXPECT_EQ(text_of(&DriveInventory::get_total_space), drive.total) << drive.letter;
    EXPECT_EQ(text_of(&DriveInventory::get_free_space), drive.free) << drive.letter;
    EXPECT_EQ(text_of(&DriveInventory::get_used_space), drive.used) << drive.letter;
    EXPECT_EQ(text_of(&DriveInventory::get_used_percent), drive.used_percent) << drive.letter;
    EXPECT_EQ(text_of(&DriveInventory::get_free_percent), drive.free_percent) << drive.letter;
  }
}

TEST_F(DriveInventoryTest, WithoutASelectedDriveGettersLeaveTheTextResult) {
  const std::vector<Getter> getters = {
      &DriveInventory::get_drive_letter,  &DriveInventory::get_drive_file_system,
      &DriveInventory::get_volume_label,  &DriveInventory::get_volume_serial,
      &DriveInventory::get_drive_type,    &DriveInventory::get_total_space,
      &DriveInventory::get_free_space,    &DriveInventory::get_used_space,
      &DriveInventory::get_used_percent,  &DriveInventory::get_free_percent,
  };
  const auto expect_untouched = [&](const char* why) {
    module.exchange.set_text_result("previous");
    for (const Getter getter : getters) EXPECT_EQ(text_of(getter), "previous") << why;
  };
  machine.drives['C'] = {};
  machine.drives['D'] = {};

  select(0);
  expect_untouched("selected before any ListDrives");
  list();
  expect_untouched("nothing selected yet");
  select(-1);
  expect_untouched("index -1");
  select(2);
  expect_untouched("index equal to the count");
  select(1);
  select(7);
  expect_untouched("a valid selection replaced by an index out of range");
  select(0);
  list();
  expect_untouched("selection cleared by a second ListDrives");
}

TEST_F(DriveInventoryTest, SelectDriveReadsSlotZeroWithoutRemovingIt) {
  machine.drives['C'] = {};
  machine.drives['D'] = {};
  list();
  select(1);
  module.drives.select_drive();
  EXPECT_EQ(text_of(&DriveInventory::get_drive_letter), "D");
  EXPECT_EQ(module.exchange.data_slot(0), 1);
}

// SetAlign reads the mode from slot 0 and the decimal places from slot 1, and
// the sizes of drives listed before it follow the new settings.
TEST(SetAlign, SetsBothSettingsOrNeither) {
  using Pushes = std::vector<std::int32_t>;  // the values pushed before one SetAlign
  struct Case {
    std::vector<Pushes> calls;
    const char* total;
  };
  for (const auto& [calls, total] : {
           Case{{}, "976.6 KB"},                  // automatic, one place, at load
           Case{{{2, 1}}, "976.56 KB"},           // 2 places, kilobytes
           Case{{{6, 3}}, "976.6 KB"},            // 6 places: refused
           Case{{{0, 4}}, "976.6 KB"},            // mode 4: refused
           Case{{{0, -2}}, "976.6 KB"},           // mode -2: refused
           Case{{{0, -1}}, "977 KB"},             // automatic, no places
           Case{{{3}}, "0 GB"},                   // slot 1 still holds its 0 from load
           Case{{{5, 0}}, "1000000 B "},          // bytes ignore the places
           Case{{{2, 1}, {6, 3}}, "976.56 KB"},   // a refusal keeps the previous settings
       }) {
    SimulatedMachine machine;
    machine.drives['C'] = {.total = 1000000};
    Module module{machine};
    module.drives.list_drives();
    for (const Pushes& pushes : calls) {
      for (const std::int32_t value : pushes) module.host.set_data(value);
      module.drives.set_align();
    }
    module.host.set_data(0);
    module.drives.select_drive();
    module.drives.get_total_space();
    EXPECT_EQ(module.exchange.text_result(), total)
        << ::testing::PrintToString(calls);
  }
}

TEST_F(DriveInventoryTest, ReadsVolumesWithCriticalErrorsFailingQuietly) {
  constexpr std::uint32_t kHostMode = 0x8002;
  machine.thread_error_mode = kHostMode;
  machine.drives['A'] = {.type = 2, .volume_error = kNotReady};
  machine.drives['C'] = {};
  list();
  EXPECT_EQ(machine.error_modes_during_volume_reads,
            (std::vector<std::uint32_t>{win32::kSemFailCriticalErrors, win32::kSemFailCriticalErrors}));
  EXPECT_EQ(machine.thread_error_mode, kHostMode);
}

TEST_F(DriveInventoryTest, ListsDrivesWhereTheSystemLacksThreadErrorModes) {
  machine.has_thread_error_mode = false;
  machine.thread_error_mode = 0x8002;
  machine.drives['C'] = {};
  list();
  EXPECT_EQ(module.host.get_data(), 1);
  EXPECT_EQ(machine.error_modes_during_volume_reads, std::vector<std::uint32_t>{0x8002});
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
  Module module{platform};
  module.drives.list_drives();
  module.host.set_data(0);
  module.drives.select_drive();
  module.drives.get_volume_label();
  EXPECT_EQ(module.exchange.text_result(), std::string(260, 'L'));
}

}  // namespace
}  // namespace korvex
