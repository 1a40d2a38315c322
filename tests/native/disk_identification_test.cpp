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
       {kPort0, kDrive0, kDrive0, kDrive0, kDrive0}, "", 50, blank},
      {"all fail: the last failure's code", kNt61,
       {{kPort0, refusing(1)}, {kDrive0, failing_to_open(5)}},
       {kPort0, kDrive0, kDrive0, kDrive0, kDrive0}, "", 5, zero},
      {"every request refused", kNt61, {{kDrive0, refusing(50)}},
       {kPort0, kDrive0, kDrive0, kDrive0, kDrive0}, "", 50, zero},
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
  // Each time: port and drive by miniport, the ATA pass-through, the SCSI
  // pass-through, the storage query.
  const std::vector<std::string> expected = {kPort0, kDrive0, kDrive0, kDrive0, kDrive0,
                                             port3,  drive3,  drive3,  drive3,  drive3,
                                             port3,  drive3,  drive3,  drive3,  drive3};
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
constexpr std::uint32_t kScsiPassThrough = 0x4D004;
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

IdentifySector with_total_sectors(IdentifySector sector, std::uint32_t total) {
  put_word(sector, 60, static_cast<std::uint16_t>(total));
  put_word(sector, 61, static_cast<std::uint16_t>(total >> 16));
  return sector;
}

// "WD-WCAV12345678" as some drivers give an ATA serial: the identify field's
// 20 bytes in hexadecimal, each word's bytes swapped.
constexpr const char* kHexSerial = "2020202057202d44435756413231343336353837";

// One row a kind of disk: what GetHddInfo asks it and what it answers. The
// record decides every getter's answer.
TEST(GetHddInfo, AsksTheAddedRequestsOnlyWhenTheFirstTwoAttemptsGaveNoSerial) {
  const IdentifySector sata = full_sector("WD-WCC6Y0123456");
  const IdentifySector usb = full_sector("USB-BRIDGED-1");
  const IdentifySector blank = full_sector("");
  const IdentifySector zero{};
  const SimulatedStorageDescriptor kingston{.vendor = "Kingston", .product = "DataTraveler 3.0",
                                            .revision = "PMAP",
                                            .serial = "60A44C3FACC93110E9980E3C", .bus_type = 7};
  const IdentifySector kingston_record =
      described("60A44C3FACC93110E998", "PMAP", "Kingston DataTraveler 3.0");
  const SimulatedStorageDescriptor nvme_descriptor{
      .vendor = "NVMe    ", .product = "Samsung SSD 980 PRO 1TB", .revision = "5B2QGXA7",
      .serial = "E823_8FA6_BF53_0001_001B_448B_4A2D_1A4C.", .bus_type = 17};
  const NvmeIdentifyData nvme_controller =
      nvme_controller_data("S6B1NX0R123456", "Samsung SSD 980 PRO 1TB", "5B2QGXA7");
  const IdentifySector nvme_record = with_total_sectors(
      described("S6B1NX0R123456", "5B2QGXA7", "Samsung SSD 980 PRO 1TB"), 0x0FFFFFFF);
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
      {"ATA pass-through with the error bit: refused, the SCSI pass-through answers", kNt61,
       true, {{kDrive0, {.ata_pass_through = blank, .ata_status = 0x51, .scsi_pass_through = sata}}},
       {kMiniport, kAtaPassThrough, kScsiPassThrough}, "WD-WCC6Y0123456", 0, sata},
      {"ATA pass-through moving no data: refused, the descriptor answers", kNt61, true,
       {{kDrive0, {.ata_pass_through = zero, .storage_descriptor = kingston}}},
       {kMiniport, kAtaPassThrough, kScsiPassThrough, kScsiPassThrough, kStorageQuery},
       "60A44C3FACC93110E998", 0, kingston_record},
      {"USB bridge knowing only the 12-byte command, as administrator: the whole sector", kNt61,
       true, {{kDrive0, {.scsi_pass_through = usb, .sat12_only = true,
                         .storage_descriptor = kingston}}},
       {kMiniport, kAtaPassThrough, kScsiPassThrough, kScsiPassThrough}, "USB-BRIDGED-1", 0, usb},
      {"USB stick refusing the SCSI pass-through: vendor and product apart, serial cut", kNt61,
       true, {{kDrive0, describing(kingston)}},
       {kMiniport, kAtaPassThrough, kScsiPassThrough, kScsiPassThrough, kStorageQuery},
       "60A44C3FACC93110E998", 0, kingston_record},
      {"NVMe disk, no administrator rights: its own identify data, the size capped", kNt100,
       false,
       {{kPort0, answering(sata)},
        {kDrive0, {.sector = sata, .ata_pass_through = sata, .scsi_pass_through = sata,
                   .storage_descriptor = nvme_descriptor,
                   .nvme_identify_controller = nvme_controller,
                   .nvme_namespace_size = 1953525168}}},
       {kStorageQuery, kStorageQuery, kStorageQuery}, "S6B1NX0R123456", 0, nvme_record},
      {"NVMe disk refusing its identify data: the descriptor's texts, \"NVMe\" left out", kNt61,
       false, {{kDrive0, describing(nvme_descriptor)}}, {kStorageQuery, kStorageQuery},
       "E823_8FA6_BF53_0001_", 0,
       described("E823_8FA6_BF53_0001_", "5B2QGXA7", "Samsung SSD 980 PRO 1TB")},
      {"no descriptor: the NVMe identify data asked all the same", kNt100, false,
       {{kDrive0, {.nvme_identify_controller = nvme_controller, .nvme_namespace_size = 0x1000}}},
       {kStorageQuery, kStorageQuery, kStorageQuery}, "S6B1NX0R123456", 0,
       with_total_sectors(described("S6B1NX0R123456", "5B2QGXA7", "Samsung SSD 980 PRO 1TB"),
                          0x1000)},
      {"NVMe controller data without a serial: the descriptor's texts", kNt100, false,
       {{kDrive0, {.storage_descriptor = SimulatedStorageDescriptor{.serial = "EUI", .bus_type = 17},
                   .nvme_identify_controller = nvme_controller_data("", "M", "F")}}},
       {kStorageQuery, kStorageQuery}, "EUI", 0, described("EUI", "", "")},
      {"a SATA disk whose driver splits the model at the vendor field", kNt61, false,
       {{kDrive0, describing({.vendor = "WDC WD80", .product = "0JB-00JJC0", .revision = "05.0",
                              .serial = "WD-WMAJ91234567", .bus_type = 11})}},
       {kStorageQuery}, "WD-WMAJ91234567", 0,
       described("WD-WMAJ91234567", "05.0", "WDC WD800JB-00JJC0")},
      {"a hexadecimal serial decoded on NT 6.1", kNt61, false,
       {{kDrive0, describing({.serial = kHexSerial, .bus_type = 11})}}, {kStorageQuery},
       "WD-WCAV12345678", 0, described("WD-WCAV12345678", "", "")},
      {"and on NT 10.0", kNt100, false,
       {{kDrive0, describing({.serial = kHexSerial, .bus_type = 11})}}, {kStorageQuery},
       "WD-WCAV12345678", 0, described("WD-WCAV12345678", "", "")},
      {"XP: a serial of 8 hexadecimal digits kept", kNt51, false,
       {{kDrive0, describing({.serial = "4A5B6C7D", .bus_type = 3})}}, {kStorageQuery},
       "4A5B6C7D", 0, described("4A5B6C7D", "", "")},
      {"a miniport answer with a blank serial, then the ATA pass-through gives one", kNt61, true,
       {{kPort0, answering(blank)}, {kDrive0, {.sector = blank, .ata_pass_through = sata}}},
       {kMiniport, kMiniport, kAtaPassThrough}, "WD-WCC6Y0123456", 0, sata},
      {"a blank serial by ATA pass-through, then the descriptor's serial", kNt61, true,
       {{kDrive0, {.ata_pass_through = blank,
                   .storage_descriptor = SimulatedStorageDescriptor{.serial = "S-1"}}}},
       {kMiniport, kAtaPassThrough, kScsiPassThrough, kScsiPassThrough, kStorageQuery}, "S-1", 0,
       described("S-1", "", "")},
      {"a descriptor cut by the answer's end: the first attempts' code, the texts it holds",
       kNt61, false,
       {{kDrive0, describing({.vendor = "V", .product = long_product, .revision = "R",
                              .serial = "S"})}},
       {kStorageQuery}, "", 5, described("", "", "V")},
      {"no serial anywhere: the first two attempts' code, the last answer's record", kNt61, true,
       {{kPort0, answering(blank)},
        {kDrive0, {.storage_descriptor = SimulatedStorageDescriptor{}}}},
       {kMiniport, kMiniport, kAtaPassThrough, kScsiPassThrough, kScsiPassThrough, kStorageQuery},
       "", 1, described("", "", "")},
      {"all fail: the first two attempts' code is put back", kNt61, false,
       {{kDrive0, answering(sata)}}, {kStorageQuery, kStorageQuery}, "", 5, zero},
      {"9x: never the added requests", kWin98, true,
       {{kDrive0, {.ata_pass_through = sata, .scsi_pass_through = sata,
                   .storage_descriptor = SimulatedStorageDescriptor{.serial = "S"}}}},
       {}, "", 2, zero},
      {"NT 4.0: never the added requests", kNt40, true,
       {{kDrive0, {.ata_pass_through = sata, .scsi_pass_through = sata,
                   .storage_descriptor = SimulatedStorageDescriptor{.serial = "S"}}}},
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

TEST(GetHddInfo, TheSystemVersionDecidesWhichAddedRequestsApply) {
  struct Case {
    const char* name;
    std::uint32_t version;
    std::vector<std::uint32_t> requests;
  };
  // A device that refuses everything: each form of the SCSI command is
  // tried, and a descriptor that cannot be read leads to the NVMe request.
  const std::vector<std::uint32_t> from_5_0 = {kMiniport, kScsiPassThrough, kScsiPassThrough,
                                               kStorageQuery, kStorageQuery};
  const std::vector<std::uint32_t> from_5_2 = {kMiniport,        kAtaPassThrough,
                                               kScsiPassThrough, kScsiPassThrough,
                                               kStorageQuery,    kStorageQuery};
  const Case cases[] = {
      {"NT 4.0", kNt40, {kMiniport}},
      {"NT 5.0: the SCSI pass-through and the storage query", kNt50, from_5_0},
      {"NT 5.1, class 6", kNt51, from_5_0},
      {"NT 5.2: the ATA pass-through too", kNt52, from_5_2},
      {"NT 6.0", kNt60, from_5_2},
      {"NT 6.1, class 6 as 5.1 is", kNt61, from_5_2},
      {"NT 10.0", kNt100, from_5_2},
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
    EXPECT_EQ(machine.open_device_count(), 0) << c.name;
  }
}

}  // namespace
}  // namespace korvex::tests
