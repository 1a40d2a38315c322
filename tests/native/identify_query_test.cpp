#include "identify/identify_query.h"

#include <gtest/gtest.h>

#include "identify_fixtures.h"
#include "observing_platform.h"

namespace korvex::tests {
namespace {

// The request bytes each interface must receive, from offset 0; the rest is zero.
constexpr const char* kSmartDrive0 = "00020000 0001010000A0EC00 00";
constexpr const char* kSmartDrive1 = "00020000 0001010000B0EC00 01";
constexpr const char* kMiniportDrive0 =
    "1C000000 534353494449534B 02000000 01051B00 00000000 20020000 "
    "00020000 0001010000A0EC00 00";
constexpr const char* kMiniportDrive1 =
    "1C000000 534353494449534B 02000000 01051B00 00000000 20020000 "
    "00020000 0001010000B0EC00 01";

TEST(IdentifyQuery, OpensTheDeviceAndSendsTheRequestByteForByte) {
  struct Case {
    const char* name;
    std::uint32_t version;
    std::int32_t device_number;
    std::uint8_t drive_number;
    bool port_flag;
    std::string device;
    std::uint32_t access, share, disposition, code;
    const char* request;
    std::uint32_t input_size, output_size;
  };
  const Case cases[] = {
      {"SMART, drive 0", kWin98, 7, 0, true, "\\\\.\\SMARTVSD", 0, 0, 1, 0x7C088, kSmartDrive0, 32,
       528},
      {"SMART ignores device number and port flag", kWin98, -3, 1, false, "\\\\.\\SMARTVSD", 0, 0, 1,
       0x7C088, kSmartDrive1, 32, 528},
      {"port name, drive 0", kNt61, 0, 0, true, "\\\\.\\Scsi0:", 0xC0000000, 3, 3, 0x4D008,
       kMiniportDrive0, 572, 572},
      {"physical drive name, drive 1", kNt61, 12, 1, false, "\\\\.\\PhysicalDrive12", 0xC0000000,
       3, 3, 0x4D008, kMiniportDrive1, 572, 572},
      {"port name, two digits", kNt61, 12, 0, true, "\\\\.\\Scsi12:", 0xC0000000, 3, 3, 0x4D008,
       kMiniportDrive0, 572, 572},
      {"negative device number keeps its sign", kNt61, -1, 0, false, "\\\\.\\PhysicalDrive-1",
       0xC0000000, 3, 3, 0x4D008, kMiniportDrive0, 572, 572},
      {"negative port number keeps its sign", kNt61, -1, 0, true, "\\\\.\\Scsi-1:", 0xC0000000, 3,
       3, 0x4D008, kMiniportDrive0, 572, 572},
      {"only bit 0 of the drive number selects the device", kNt61, 0, 5, true, "\\\\.\\Scsi0:", 0xC0000000, 3, 3, 0x4D008,
       "1C000000 534353494449534B 02000000 01051B00 00000000 20020000 "
       "00020000 0001010000B0EC00 05",
       572, 572},
  };
  for (const Case& c : cases) {
    SimulatedMachine machine;
    machine.version = c.version;
    machine.devices[c.device] = answering({});
    ObservingPlatform recorder(machine);
    SystemClass system_class(recorder);
    IdentifyQuery query(recorder, system_class);
    IdentifyRecord record;
    query.run(c.device_number, c.drive_number, c.port_flag, record);

    ASSERT_EQ(recorder.device_opens.size(), 1u) << c.name;
    const DeviceOpen& open = recorder.device_opens[0];
    EXPECT_EQ(open.name, c.device) << c.name;
    EXPECT_EQ(open.access, c.access) << c.name;
    EXPECT_EQ(open.share, c.share) << c.name;
    EXPECT_EQ(open.disposition, c.disposition) << c.name;
    EXPECT_TRUE(open.closed) << c.name;
    ASSERT_EQ(open.requests.size(), 1u) << c.name;
    EXPECT_EQ(open.requests[0].code, c.code) << c.name;
    EXPECT_EQ(open.requests[0].input, bytes_from_hex(c.request, c.input_size)) << c.name;
    EXPECT_EQ(open.requests[0].output_size, c.output_size) << c.name;
  }
}

TEST(IdentifyQuery, OnlyAnAnswerReplacesTheRecordAndEveryHandleIsClosed) {
  for (const std::uint32_t version : {kNt61, kWin98}) {
    SimulatedMachine machine;
    machine.version = version;
    IdentifySector sector = sector_with_serial("  SER-1");
    sector[255] = 0x5A;
    sector[256] = 0xA5;  // beyond the record
    const std::string device = version == kWin98 ? "\\\\.\\SMARTVSD" : "\\\\.\\Scsi0:";
    SystemClass system_class(machine);
    IdentifyQuery query(machine, system_class);
    IdentifyRecord record;

    machine.devices[device] = answering(sector);
    EXPECT_EQ(query.run(0, 0, true, record), "SER-1");
    EXPECT_TRUE(std::equal(record.bytes().begin(), record.bytes().end(), sector.begin()));

    for (const SimulatedDevice& failing : {failing_to_open(5), refusing(50)}) {
      machine.devices[device] = failing;
      EXPECT_EQ(query.run(0, 0, true, record), "");
      EXPECT_EQ(record.word(127), 0x5A00) << "the record is kept";
    }

    machine.devices[device] = answering({});
    EXPECT_EQ(query.run(0, 0, true, record), "") << "an all-zero answer still counts";
    EXPECT_EQ(record.word(127), 0);
    EXPECT_EQ(machine.open_device_count(), 0);
  }
}

TEST(IdentifyQuery, AtaPassThroughSendsHeaderAndSectorInOneBufferAndKeepsTheAnswer) {
  // ATA_PASS_THROUGH_EX follows the pointer size: DataBufferOffset, a
  // ULONG_PTR, is preceded by four bytes of padding in a 64-bit build.
  constexpr bool k64 = sizeof(void*) == 8;
  const char* header = k64 ? "3000 0300 00000000 00020000 02000000 00000000 00000000 "
                             "3000000000000000 0000000000000000 0001010000A0EC00"
                           : "2800 0300 00000000 00020000 02000000 00000000 28000000 "
                             "0000000000000000 0001010000A0EC00";
  const std::uint32_t size = k64 ? 48 + 512 : 40 + 512;
  SimulatedMachine machine;
  IdentifySector sector = sector_with_serial("  ATA-1");
  sector[255] = 0x5A;
  machine.devices["\\\\.\\PhysicalDrive12"] = answering_ata(sector);
  ObservingPlatform recorder(machine);
  SystemClass system_class(recorder);
  IdentifyQuery query(recorder, system_class);
  IdentifyRecord record;

  EXPECT_EQ(query.run_ata_pass_through(12, record), "ATA-1");
  EXPECT_TRUE(std::equal(record.bytes().begin(), record.bytes().end(), sector.begin()));
  ASSERT_EQ(recorder.device_opens.size(), 1u);
  const DeviceOpen& open = recorder.device_opens[0];
  EXPECT_EQ(open.access, 0xC0000000u);
  EXPECT_EQ(open.share, 3u);
  EXPECT_EQ(open.disposition, 3u);
  ASSERT_EQ(open.requests.size(), 1u);
  EXPECT_EQ(open.requests[0].code, 0x4D02Cu);
  EXPECT_EQ(open.requests[0].input, bytes_from_hex(header, size));
  EXPECT_EQ(open.requests[0].output_size, size);

  for (const SimulatedDevice& failing : {failing_to_open(5), refusing(50), answering(sector)}) {
    machine.devices["\\\\.\\PhysicalDrive12"] = failing;
    EXPECT_EQ(query.run_ata_pass_through(12, record), "");
    EXPECT_EQ(record.word(127), 0x5A00) << "the record is kept";
  }
  EXPECT_EQ(machine.open_device_count(), 0);
  EXPECT_EQ(recorder.uses(PlatformCall::kGetVersion), 0) << "the caller knows the version";
}

}  // namespace
}  // namespace korvex::tests
