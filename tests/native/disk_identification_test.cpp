#include "identify/disk_identification.h"

#include <gtest/gtest.h>

#include <map>

#include "identify_fixtures.h"
#include "platform/sim/recording_platform.h"

namespace korvex::tests {
namespace {

constexpr const char* kPort0 = "\\\\.\\Scsi0:";
constexpr const char* kDrive0 = "\\\\.\\PhysicalDrive0";
constexpr const char* kSmart = "\\\\.\\SMARTVSD";

std::vector<std::string> opened_devices(const RecordingPlatform& recorder) {
  std::vector<std::string> names;
  for (const DeviceOpen& open : recorder.device_opens) names.push_back(open.name);
  return names;
}

bool record_holds(const DiskIdentification& disks, const IdentifySector& sector) {
  const auto& record = disks.record().bytes();
  return std::equal(record.begin(), record.end(), sector.begin());
}

TEST(GetHddInfo, AsksAgainByThePhysicalDriveNameOnlyWithoutASerial) {
  const IdentifySector first = sector_with_serial("FIRST");
  const IdentifySector second = sector_with_serial("   SECOND");
  const IdentifySector blank = sector_with_serial("");
  const IdentifySector zero{};
  struct Case {
    const char* name;
    std::uint32_t version;
    std::map<std::string, SimulatedDevice> devices;
    std::vector<std::string> opened;
    std::string text;
    std::int32_t result;  // the last-error value the attempts left
    const IdentifySector& record;
  };
  const Case cases[] = {
      {"a serial on the port name: asked once", kNt61,
       {{kPort0, answering(first)}, {kDrive0, answering(second)}}, {kPort0}, "FIRST", 0, first},
      {"reachable by the physical drive name only", kNt61,
       {{kPort0, failing_to_open(2)}, {kDrive0, answering(second)}}, {kPort0, kDrive0}, "SECOND",
       2, second},
      {"a blank serial: asked again, the second answer kept", kNt61,
       {{kPort0, answering(blank)}, {kDrive0, answering(second)}}, {kPort0, kDrive0}, "SECOND", 0,
       second},
      {"a blank serial, then a failure: the first answer kept", kNt61,
       {{kPort0, answering(blank)}, {kDrive0, refusing(50)}}, {kPort0, kDrive0}, "", 50, blank},
      {"both fail: the last failure's code", kNt61,
       {{kPort0, refusing(1)}, {kDrive0, failing_to_open(5)}}, {kPort0, kDrive0}, "", 5, zero},
      {"as Wine answers", kNt61, {{kDrive0, refusing(50)}}, {kPort0, kDrive0}, "", 50, zero},
      {"9x: both attempts go to the SMART driver", kWin98, {{kSmart, failing_to_open(2)}},
       {kSmart, kSmart}, "", 2, zero},
      {"9x: a serial from the SMART driver: asked once", kWin98, {{kSmart, answering(first)}},
       {kSmart}, "FIRST", 0, first},
  };
  for (const Case& c : cases) {
    SimulatedMachine machine;
    machine.version = c.version;
    machine.devices = c.devices;
    RecordingPlatform recorder(machine);
    DiskIdentification disks(recorder);
    const HddInfo info = disks.get_hdd_info(0);

    EXPECT_EQ(opened_devices(recorder), c.opened) << c.name;
    EXPECT_EQ(info.serial, c.text) << c.name;
    EXPECT_EQ(info.last_error, c.result) << c.name;
    EXPECT_TRUE(record_holds(disks, c.record)) << c.name;
    EXPECT_EQ(machine.open_device_count(), 0) << c.name;
  }
}

TEST(GetHddInfo, NamesTheDeviceByItsNumberAndReadsTheVersionOnce) {
  SimulatedMachine machine;
  RecordingPlatform recorder(machine);
  DiskIdentification disks(recorder);
  disks.get_hdd_info(0);
  disks.get_hdd_info(3);
  disks.get_hdd_info(3);
  const std::vector<std::string> expected = {
      kPort0, kDrive0, "\\\\.\\Scsi3:", "\\\\.\\PhysicalDrive3", "\\\\.\\Scsi3:",
      "\\\\.\\PhysicalDrive3"};
  EXPECT_EQ(opened_devices(recorder), expected);
  EXPECT_EQ(recorder.version_reads, 1);
}

TEST(GetHddInfo, StartsFromAZeroRecordEveryTime) {
  SimulatedMachine machine;
  DiskIdentification disks(machine);
  const IdentifySector sector = sector_with_serial("SER");
  machine.devices[kPort0] = answering(sector);
  disks.get_hdd_info(0);
  ASSERT_TRUE(record_holds(disks, sector));
  machine.devices.clear();
  const HddInfo info = disks.get_hdd_info(0);
  EXPECT_TRUE(record_holds(disks, IdentifySector{}));
  EXPECT_EQ(info.serial, "");
  EXPECT_EQ(info.last_error, 2);
}

}  // namespace
}  // namespace korvex::tests
