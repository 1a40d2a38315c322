#include "identify/disk_identification.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "identify_fixtures.h"
#include "observing_platform.h"

namespace korvex::tests {
namespace {

constexpr const char* kPort0 = "\\\\.\\Scsi0:";
constexpr const char* kDrive0 = "\\\\.\\PhysicalDrive0";
constexpr const char* kSmart = "\\\\.\\SMARTVSD";

std::vector<std::string> opened_devices(const ObservingPlatform& recorder) {
  std::vector<std::string> names;
  for (const DeviceOpen& open : recorder.device_opens) names.push_back(open.name);
  return names;
}

// Every control request the module sent, by code, in order.
std::vector<std::uint32_t> requests_sent(const ObservingPlatform& recorder) {
  std::vector<std::uint32_t> codes;
  for (const DeviceOpen& open : recorder.device_opens) {
    for (const DeviceOpen::Request& request : open.requests) codes.push_back(request.code);
  }
  return codes;
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
      {"a blank serial, then failures: the first answer kept", kNt61,
       {{kPort0, answering(blank)}, {kDrive0, refusing(50)}},
       {kPort0, kDrive0, kDrive0, kDrive0}, "", 50, blank},
      {"all fail: the last failure's code", kNt61,
       {{kPort0, refusing(1)}, {kDrive0, failing_to_open(5)}},
       {kPort0, kDrive0, kDrive0, kDrive0}, "", 5, zero},
      {"every request refused", kNt61, {{kDrive0, refusing(50)}},
       {kPort0, kDrive0, kDrive0, kDrive0}, "", 50, zero},
      {"9x: both attempts go to the SMART driver", kWin98, {{kSmart, failing_to_open(2)}},
       {kSmart, kSmart}, "", 2, zero},
      {"9x: a serial from the SMART driver: asked once", kWin98, {{kSmart, answering(first)}},
       {kSmart}, "FIRST", 0, first},
  };
  for (const Case& c : cases) {
    SimulatedMachine machine;
    machine.version = c.version;
    machine.devices = c.devices;
    ObservingPlatform recorder(machine);
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
  ObservingPlatform recorder(machine);
  DiskIdentification disks(recorder);
  disks.get_hdd_info(0);
  disks.get_hdd_info(3);
  disks.get_hdd_info(3);
  const std::string port3 = "\\\\.\\Scsi3:";
  const std::string drive3 = "\\\\.\\PhysicalDrive3";
  // Each time: port and drive by miniport, the ATA pass-through, the storage query.
  const std::vector<std::string> expected = {kPort0, kDrive0, kDrive0, kDrive0,
                                             port3,  drive3,  drive3,  drive3,
                                             port3,  drive3,  drive3,  drive3};
  EXPECT_EQ(opened_devices(recorder), expected);
  EXPECT_EQ(recorder.uses(PlatformCall::kGetVersion), 1);
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

constexpr std::uint32_t kMiniport = 0x4D008;
constexpr std::uint32_t kAtaPassThrough = 0x4D02C;
constexpr std::uint32_t kStorageQuery = 0x2D1400;

// A disk with its identity in every text field and numbers beside them.
IdentifySector full_sector(std::string_view serial) {
  IdentifySector sector = sector_with_serial(serial);
  put_text(sector, kFirmwareRevisionField, "01.01A01");
  put_text(sector, kModelNumberField, "WDC WD10EZEX-08WN4A0");
  put_word(sector, 1, 16383);
  put_word(sector, 60, 0x5678);
  sector[300] = 0x77;  // beyond the record
  return sector;
}

TEST(GetHddInfo, AsksTheNewerRequestsOnlyWhenTheFirstTwoAttemptsGaveNoSerial) {
  const IdentifySector sata = full_sector("WD-WCC6Y0123456");
  const IdentifySector blank = full_sector("");
  const IdentifySector zero{};
  // A product text the 1024-byte answer cuts: no NUL inside it, and the
  // revision and serial that follow it lie outside.
  const std::string long_product(1100, 'P');
  struct Case {
    const char* name;
    std::uint32_t version;
    bool elevated;
    std::map<std::string, SimulatedDevice> devices;
    std::vector<std::uint32_t> requests;  // the control codes sent, in order
    std::string text;
    std::int32_t result;  // also the last error GetErrorMessage explains afterwards
    IdentifySector record;
  };
  const Case cases[] = {
      {"SATA disk answering only the ATA pass-through: the whole sector", kNt61, true,
       {{kDrive0, answering_ata(sata)}}, {kMiniport, kAtaPassThrough}, "WD-WCC6Y0123456", 0,
       sata},
      {"NVMe disk, no administrator rights: the descriptor's texts, numbers 0", kNt61, false,
       {{kPort0, answering(sata)},
        {kDrive0, {.sector = sata,
                   .ata_pass_through = sata,
                   .storage_descriptor = SimulatedStorageDescriptor{
                       .product = "Samsung SSD 980 PRO 1TB", .revision = "5B2QGXA7",
                       .serial = "0025_3881_1234_5678.", .bus_type = 17}}}},
       {kStorageQuery}, "0025_3881_1234_5678.", 0,
       described("0025_3881_1234_5678.", "5B2QGXA7", "Samsung SSD 980 PRO 1TB")},
      {"USB disk: vendor and product, a serial cut to its 20 characters", kNt61, true,
       {{kDrive0, describing({.vendor = "Kingston", .product = "DataTraveler 3.0",
                              .revision = "PMAP", .serial = "60A44C3FACC93110E9980E3C",
                              .bus_type = 7})}},
       {kMiniport, kAtaPassThrough, kStorageQuery}, "60A44C3FACC93110E998", 0,
       described("60A44C3FACC93110E998", "PMAP", "Kingston DataTraveler 3.0")},
      {"the vendor \"ATA\" is left out; blanks around texts are not kept", kNt61, true,
       {{kDrive0, describing({.vendor = "ATA     ", .product = "WDC WD10EZEX-08WN4A0    ",
                              .revision = "01.01A01", .serial = "     WD-WCC6Y0123456"})}},
       {kMiniport, kAtaPassThrough, kStorageQuery}, "WD-WCC6Y0123456", 0,
       described("WD-WCC6Y0123456", "01.01A01", "WDC WD10EZEX-08WN4A0")},
      {"XP: a hexadecimal serial decoded; no ATA pass-through before 5.2", kNt51, true,
       {{kDrive0, describing({.product = "WDC WD800JB-00JJC0", .serial = "4457572d41433156"})}},
       {kMiniport, kStorageQuery}, "WD-WCAV1", 0, described("WD-WCAV1", "", "WDC WD800JB-00JJC0")},
      {"NT 6.1: the same serial left as it is", kNt61, true,
       {{kDrive0, describing({.serial = "4457572d41433156"})}},
       {kMiniport, kAtaPassThrough, kStorageQuery}, "4457572d41433156", 0,
       described("4457572d41433156", "", "")},
      {"XP: hexadecimal digits that decode to control characters left as they are", kNt51, true,
       {{kDrive0, describing({.serial = "12345678"})}}, {kMiniport, kStorageQuery}, "12345678", 0,
       described("12345678", "", "")},
      {"XP: hexadecimal digits not a multiple of 4 left as they are", kNt51, true,
       {{kDrive0, describing({.serial = "4457572d414331"})}}, {kMiniport, kStorageQuery},
       "4457572d414331", 0, described("4457572d414331", "", "")},
      {"a miniport answer with a blank serial, then the ATA pass-through gives one", kNt61, true,
       {{kPort0, answering(blank)}, {kDrive0, {.sector = blank, .ata_pass_through = sata}}},
       {kMiniport, kMiniport, kAtaPassThrough}, "WD-WCC6Y0123456", 0, sata},
      {"a blank serial by ATA pass-through, then the descriptor's serial", kNt61, true,
       {{kDrive0, {.ata_pass_through = blank,
                   .storage_descriptor = SimulatedStorageDescriptor{.serial = "S-1"}}}},
       {kMiniport, kAtaPassThrough, kStorageQuery}, "S-1", 0, described("S-1", "", "")},
      {"a descriptor cut by the answer's end: the first attempts' code, the texts it holds",
       kNt61, true,
       {{kDrive0, describing({.vendor = "V", .product = long_product, .revision = "R",
                              .serial = "S"})}},
       {kMiniport, kAtaPassThrough, kStorageQuery}, "", 1, described("", "", "V")},
      {"no serial anywhere: the first two attempts' code, the last answer's record", kNt61, true,
       {{kPort0, answering(blank)},
        {kDrive0, {.storage_descriptor = SimulatedStorageDescriptor{}}}},
       {kMiniport, kMiniport, kAtaPassThrough, kStorageQuery}, "", 1, described("", "", "")},
      {"all fail: the first two attempts' code is put back", kNt61, false,
       {{kDrive0, answering(sata)}}, {kStorageQuery}, "", 5, zero},
      {"9x: never the newer requests", kWin98, true,
       {{kDrive0, {.ata_pass_through = sata, .storage_descriptor = SimulatedStorageDescriptor{
                                                 .serial = "S"}}}},
       {}, "", 2, zero},
      {"NT 4.0: never the newer requests", kNt40, true,
       {{kDrive0, {.ata_pass_through = sata, .storage_descriptor = SimulatedStorageDescriptor{
                                                 .serial = "S"}}}},
       {kMiniport}, "", 1, zero},
  };
  for (const Case& c : cases) {
    SimulatedMachine machine;
    machine.version = c.version;
    machine.elevated = c.elevated;
    machine.devices = c.devices;
    ObservingPlatform recorder(machine);
    DiskIdentification disks(recorder);
    const HddInfo info = disks.get_hdd_info(0);

    EXPECT_EQ(requests_sent(recorder), c.requests) << c.name;
    EXPECT_EQ(info.serial, c.text) << c.name;
    EXPECT_EQ(info.last_error, c.result) << c.name;
    EXPECT_EQ(machine.last_error, static_cast<std::uint32_t>(c.result)) << c.name;
    EXPECT_TRUE(record_holds(disks, c.record)) << c.name;
    EXPECT_EQ(machine.open_device_count(), 0) << c.name;
  }
}

TEST(GetHddInfo, TheSystemVersionDecidesWhichNewerRequestsApply) {
  struct Case {
    const char* name;
    std::uint32_t version;
    std::vector<std::uint32_t> requests;
  };
  const Case cases[] = {
      {"NT 4.0", kNt40, {kMiniport}},
      {"NT 5.0: the storage query", kNt50, {kMiniport, kStorageQuery}},
      {"NT 5.1, class 6: the storage query", kNt51, {kMiniport, kStorageQuery}},
      {"NT 5.2: both", kNt52, {kMiniport, kAtaPassThrough, kStorageQuery}},
      {"NT 6.0", kNt60, {kMiniport, kAtaPassThrough, kStorageQuery}},
      {"NT 6.1, class 6 as 5.1 is: both", kNt61, {kMiniport, kAtaPassThrough, kStorageQuery}},
      {"NT 10.0", kNt100, {kMiniport, kAtaPassThrough, kStorageQuery}},
  };
  for (const Case& c : cases) {
    SimulatedMachine machine;
    machine.version = c.version;
    machine.devices[kDrive0] = {};
    ObservingPlatform recorder(machine);
    DiskIdentification disks(recorder);
    disks.get_hdd_info(0);
    EXPECT_EQ(requests_sent(recorder), c.requests) << c.name;
    EXPECT_EQ(recorder.uses(PlatformCall::kGetVersion), 1) << c.name;
  }
}

}  // namespace
}  // namespace korvex::tests
