#include "identify/disk_identification.h"

#include <gtest/gtest.h>

#include <map>

#include "host/module.h"
#include "identify_fixtures.h"

namespace korvex::testing {
namespace {

constexpr const char* kPort0 = "\\\\.\\Scsi0:";
constexpr const char* kDrive0 = "\\\\.\\PhysicalDrive0";
constexpr const char* kSmart = "\\\\.\\SMARTVSD";

std::vector<std::string> opened_devices(const SimulatedMachine& machine) {
  std::vector<std::string> names;
  for (const DeviceOpen& open : machine.device_opens) names.push_back(open.name);
  return names;
}

bool record_holds(const Module& module, const IdentifySector& sector) {
  const auto& record = module.disks.record().bytes();
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
    Module module(machine);
    module.exchange.set_text_result("old");
    module.disks.get_hdd_info();

    EXPECT_EQ(opened_devices(machine), c.opened) << c.name;
    EXPECT_EQ(module.exchange.text_result(), c.text) << c.name;
    EXPECT_EQ(module.exchange.result(), c.result) << c.name;
    EXPECT_TRUE(record_holds(module, c.record)) << c.name;
    EXPECT_EQ(machine.open_device_count(), 0) << c.name;
  }
}

struct DiskTest : ::testing::Test {
  SimulatedMachine machine;
  Module module{machine};
};

TEST_F(DiskTest, TakesTheDeviceNumberFromSlotZeroAndTheVersionOnce) {
  module.disks.get_hdd_info();
  module.host.set_data(1);
  module.host.set_data(3);
  module.disks.get_hdd_info();
  module.disks.get_hdd_info();
  const std::vector<std::string> expected = {
      kPort0, kDrive0, "\\\\.\\Scsi3:", "\\\\.\\PhysicalDrive3", "\\\\.\\Scsi3:",
      "\\\\.\\PhysicalDrive3"};
  EXPECT_EQ(opened_devices(machine), expected);
  EXPECT_EQ(module.exchange.data_slot(0), 3) << "the device number stays pushed";
  EXPECT_EQ(machine.version_reads, 1);
}

TEST_F(DiskTest, StartsEveryGetHddInfoFromAZeroRecord) {
  const IdentifySector sector = sector_with_serial("SER");
  machine.devices[kPort0] = answering(sector);
  module.disks.get_hdd_info();
  ASSERT_TRUE(record_holds(module, sector));
  machine.devices.clear();
  module.disks.get_hdd_info();
  EXPECT_TRUE(record_holds(module, IdentifySector{}));
  EXPECT_EQ(module.exchange.text_result(), "");
  EXPECT_EQ(module.exchange.result(), 2);
}

// A disk with a known value in every field a getter reads.
IdentifySector known_sector() {
  IdentifySector sector{};
  const std::pair<std::size_t, std::uint16_t> words[] = {
      {0, 0x8000}, {1, 16383},   {3, 16},     {4, 0x8A00},  {5, 512},    {6, 63},
      {7, 0xFFFF}, {8, 0xFFFF},  {9, 0xFFFF}, {20, 3},      {21, 0xFFFF}, {22, 4},
      {47, 0x8010}, {49, 0x0F00}, {51, 0x0200}, {52, 0x0100}, {53, 7},     {54, 16383},
      {55, 16},    {56, 63},     {57, 0x0000}, {58, 0x0001}, {59, 0x8110}, {60, 0x5678},
      {61, 0x9ABC}, {62, 0x0107}, {63, 0x0407}, {64, 0x1111}, {200, 0x2222}};
  for (const auto& [number, value] : words) put_word(sector, number, value);
  put_text(sector, kSerialNumberField, "  WD-WCAV12345678");
  put_text(sector, kFirmwareRevisionField, "01.01A01");
  put_text(sector, kModelNumberField, "KORVEX TEST DISK 2000");
  return sector;
}

TEST_F(DiskTest, GettersAnswerInTheirFormAndTouchOnlyTheirCell) {
  namespace g = disk_getter;
  struct Case {
    const char* name;
    DiskGetter getter;
    std::string known;  // the number in decimal for the number form
    std::string zero;   // before any disk answered
  };
  const Case cases[] = {
      {"GenConfig, top bit set", g::kGenConfig, "32768", "0"},
      {"NumCyls", g::kNumCyls, "16383", "0"},
      {"NumHeads", g::kNumHeads, "16", "0"},
      {"BytesPerTrack", g::kBytesPerTrack, "35328", "0"},
      {"BytesPerSector", g::kBytesPerSector, "512", "0"},
      {"SectorsPerTrack", g::kSectorsPerTrack, "63", "0"},
      {"VendorUnique", g::kVendorUnique, "", ""},
      {"PhysicalSerial", g::kPhysicalSerial, "WD-WCAV12345678", ""},
      {"BufferType", g::kBufferType, "3", "0"},
      {"BufferSize, all bits set", g::kBufferSize, "65535", "0"},
      {"ECCSize", g::kECCSize, "4", "0"},
      {"FirmwareRev", g::kFirmwareRev, "01.01A01", ""},
      {"ModelNumber", g::kModelNumber, "KORVEX TEST DISK 2000", ""},
      {"MoreVendorUnique", g::kMoreVendorUnique, "32784", "0"},
      {"Capabilities", g::kCapabilities, "3840", "0"},
      {"PIOTiming", g::kPIOTiming, "512", "0"},
      {"DMATiming", g::kDMATiming, "256", "0"},
      {"BS", g::kBS, "7", "0"},
      {"NumCurrentCyls", g::kNumCurrentCyls, "16383", "0"},
      {"NumCurrentHeads", g::kNumCurrentHeads, "16", "0"},
      {"NumCurrentSectorsPerTrack", g::kNumCurrentSectorsPerTrack, "63", "0"},
      {"CurrentSectorCapacity, high word 1", g::kCurrentSectorCapacity, "65536", "0"},
      {"MultSectorStuff", g::kMultSectorStuff, "33040", "0"},
      {"TotalAddressableSectors, top bit set", g::kTotalAddressableSectors, "-1698933128", "0"},
      {"SingleWordDMA", g::kSingleWordDMA, "263", "0"},
      {"MultiWordDMA", g::kMultiWordDMA, "1031", "0"},
  };
  constexpr std::int32_t kResultBefore = -7;
  const std::string text_before = "before";
  const auto check = [&](const Case& c, const std::string& expected, const char* when) {
    for (int twice = 0; twice < 2; ++twice) {
      module.exchange.set_result(kResultBefore);
      module.exchange.set_text_result(text_before);
      module.disks.answer(c.getter);
      if (c.getter.form == OutputForm::kNumber) {
        EXPECT_EQ(std::to_string(module.exchange.result()), expected) << c.name << when;
        EXPECT_EQ(module.exchange.text_result(), text_before) << c.name << when;
      } else {
        EXPECT_EQ(module.exchange.text_result(), expected) << c.name << when;
        EXPECT_EQ(module.exchange.result(), kResultBefore) << c.name << when;
      }
    }
  };
  for (const Case& c : cases) check(c, c.zero, " before any disk");
  const IdentifySector sector = known_sector();
  machine.devices[kPort0] = answering(sector);
  module.disks.get_hdd_info();
  ASSERT_EQ(module.exchange.text_result(), "WD-WCAV12345678");
  for (const Case& c : cases) check(c, c.known, "");
  EXPECT_TRUE(record_holds(module, sector)) << "getters leave the record as it was";
}

}  // namespace
}  // namespace korvex::testing
