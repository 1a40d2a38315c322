#include "identify/identify_query.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>

#include "identify/identify_request.h"
#include "identify/identify_text.h"
#include "identify_fixtures.h"
#include "observing_platform.h"

namespace korvex::tests {
namespace {

// The request bytes each interface must receive, from offset 0; the rest is zero.
constexpr DeviceName kPort = DeviceName::kScsiPort;
constexpr DeviceName kDrive = DeviceName::kPhysicalDrive;

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
    DeviceName device_name;
    std::string device;
    std::uint32_t access, share, disposition, code;
    const char* request;
    std::uint32_t input_size, output_size;
  };
  const Case cases[] = {
      {"SMART, drive 0", kWin98, 7, 0, kPort, "\\\\.\\SMARTVSD", 0, 0, 1, 0x7C088, kSmartDrive0, 32,
       528},
      {"SMART ignores device number and port flag", kWin98, -3, 1, kDrive, "\\\\.\\SMARTVSD", 0, 0, 1,
       0x7C088, kSmartDrive1, 32, 528},
      {"port name, drive 0", kNt61, 0, 0, kPort, "\\\\.\\Scsi0:", 0xC0000000, 3, 3, 0x4D008,
       kMiniportDrive0, 572, 572},
      {"physical drive name, drive 1", kNt61, 12, 1, kDrive, "\\\\.\\PhysicalDrive12", 0xC0000000,
       3, 3, 0x4D008, kMiniportDrive1, 572, 572},
      {"port name, two digits", kNt61, 12, 0, kPort, "\\\\.\\Scsi12:", 0xC0000000, 3, 3, 0x4D008,
       kMiniportDrive0, 572, 572},
      {"negative device number keeps its sign", kNt61, -1, 0, kDrive, "\\\\.\\PhysicalDrive-1",
       0xC0000000, 3, 3, 0x4D008, kMiniportDrive0, 572, 572},
      {"negative port number keeps its sign", kNt61, -1, 0, kPort, "\\\\.\\Scsi-1:", 0xC0000000, 3,
       3, 0x4D008, kMiniportDrive0, 572, 572},
      {"only bit 0 of the drive number selects the device", kNt61, 0, 5, kPort, "\\\\.\\Scsi0:", 0xC0000000, 3, 3, 0x4D008,
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
    query.run(c.device_number, c.drive_number, c.device_name, record);

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
    EXPECT_EQ(query.run(0, 0, kPort, record), "SER-1");
    EXPECT_TRUE(std::equal(record.bytes().begin(), record.bytes().end(), sector.begin()));

    for (const SimulatedDevice& failing : {failing_to_open(5), refusing(50)}) {
      machine.devices[device] = failing;
      EXPECT_EQ(query.run(0, 0, kPort, record), "");
      EXPECT_EQ(record.word(127), 0x5A00) << "the record is kept";
    }

    machine.devices[device] = answering({});
    EXPECT_EQ(query.run(0, 0, kPort, record), "") << "an all-zero answer still counts";
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
  EXPECT_EQ(machine.open_device_count(), 0);
  EXPECT_EQ(recorder.uses(PlatformCall::kGetVersion), 0) << "the caller knows the version";
}

// The answers the two pass-throughs added after the designed attempts must
// not believe: each leaves the record as it was and gives no serial.
TEST(IdentifyQuery, ThePassThroughsBelieveOnlyAWholeErrorFreeSector) {
  const IdentifySector sector = sector_with_serial("PT-1");
  const auto drive12 = [](SimulatedDevice device) {
    return std::map<std::string, SimulatedDevice>{{"\\\\.\\PhysicalDrive12", device}};
  };
  const auto no_rewrite = [](std::uint32_t, std::uint8_t*, std::uint32_t*) {};
  const auto ata_short = [](std::uint32_t, std::uint8_t*, std::uint32_t* returned) {
    *returned -= 1;
  };
  const auto scsi_status = [](std::uint8_t status, std::uint32_t moved) {
    return [=](std::uint32_t, std::uint8_t* output, std::uint32_t*) {
      output[offsetof(SCSI_PASS_THROUGH, ScsiStatus)] = status;
      std::memcpy(output + offsetof(SCSI_PASS_THROUGH, DataTransferLength), &moved, 4);
    };
  };
  struct Case {
    const char* name;
    bool scsi;  // the SCSI-to-ATA translation, else the ATA pass-through
    std::map<std::string, SimulatedDevice> devices;
    RewritingAnswers::Rewrite rewrite;
    bool elevated = true;
  };
  const Case cases[] = {
      {"ATA: the device does not open", false, drive12(failing_to_open(5)), no_rewrite},
      {"ATA: the request refused", false, drive12(refusing(50)), no_rewrite},
      {"ATA: no answer to it", false, drive12(answering(sector)), no_rewrite},
      {"ATA: the error bit in the status", false,
       drive12({.ata_pass_through = sector, .ata_status = 0x51}), no_rewrite},
      {"ATA: a count short of header and sector", false, drive12(answering_ata(sector)), ata_short},
      {"ATA: an all-zero sector", false, drive12(answering_ata({})), no_rewrite},
      {"SCSI: no administrator rights", true, drive12({.scsi_pass_through = sector}), no_rewrite,
       false},
      {"SCSI: the request refused", true, drive12(refusing(50)), no_rewrite},
      {"SCSI: CHECK CONDITION", true, drive12({.scsi_pass_through = sector}), scsi_status(2, 512)},
      {"SCSI: less than the sector moved", true, drive12({.scsi_pass_through = sector}),
       scsi_status(0, 511)},
      {"SCSI: an all-zero sector", true, drive12({.scsi_pass_through = IdentifySector{}}),
       no_rewrite},
  };
  for (const Case& c : cases) {
    SimulatedMachine machine;
    machine.elevated = c.elevated;
    machine.devices = c.devices;
    RewritingAnswers platform(machine, c.rewrite);
    SystemClass system_class(platform);
    IdentifyQuery query(platform, system_class);
    IdentifyRecord record;
    record.put_text(kModelNumberField, "EARLIER");
    const std::string serial = c.scsi ? query.run_scsi_ata_translation(12, record)
                                      : query.run_ata_pass_through(12, record);
    EXPECT_EQ(serial, "") << c.name;
    EXPECT_EQ(identify_text(record.bytes_of(kModelNumberField)), "EARLIER") << c.name;
    EXPECT_EQ(machine.open_device_count(), 0) << c.name;
  }
}

TEST(IdentifyQuery, ScsiAtaTranslationSendsTheLongCommandThenTheShortOneOnOneHandle) {
  // SCSI_PASS_THROUGH follows the pointer size like ATA_PASS_THROUGH_EX: 44
  // bytes in a 32-bit build, 56 in a 64-bit one; sense and data behind it.
  constexpr bool k64 = sizeof(void*) == 8;
  const std::string header_start = k64 ? "3800 00 00 00 00" : "2C00 00 00 00 00";
  const std::string header_middle = k64 ? "20 01 000000 00020000 02000000 00000000 "
                                          "5800000000000000 38000000"
                                        : "20 01 000000 00020000 02000000 4C000000 2C000000";
  const std::uint32_t size = k64 ? 56 + 32 + 512 : 44 + 32 + 512;
  const std::string long_request =
      header_start + " 10 " + header_middle + " 85080E00 00000100 00000000 0000EC00";
  const std::string short_request =
      header_start + " 0C " + header_middle + " A1080E00 01000000 00EC0000";

  SimulatedMachine machine;
  IdentifySector sector = sector_with_serial("  USB-1");
  sector[255] = 0x5A;
  machine.devices["\\\\.\\PhysicalDrive3"] = {.scsi_pass_through = sector, .sat12_only = true};
  ObservingPlatform recorder(machine);
  SystemClass system_class(recorder);
  IdentifyQuery query(recorder, system_class);
  IdentifyRecord record;

  EXPECT_EQ(query.run_scsi_ata_translation(3, record), "USB-1");
  EXPECT_TRUE(std::equal(record.bytes().begin(), record.bytes().end(), sector.begin()));
  ASSERT_EQ(recorder.device_opens.size(), 1u);
  const DeviceOpen& open = recorder.device_opens[0];
  EXPECT_EQ(open.access, 0xC0000000u);
  EXPECT_EQ(open.share, 3u);
  EXPECT_EQ(open.disposition, 3u);
  EXPECT_TRUE(open.closed);
  ASSERT_EQ(open.requests.size(), 2u);
  for (const DeviceOpen::Request& request : open.requests) {
    EXPECT_EQ(request.code, 0x4D004u);
    EXPECT_EQ(request.output_size, size);
  }
  EXPECT_EQ(open.requests[0].input, bytes_from_hex(long_request, size));
  EXPECT_EQ(open.requests[1].input, bytes_from_hex(short_request, size));

  // A bridge that knows the long command is asked once.
  machine.devices["\\\\.\\PhysicalDrive3"].sat12_only = false;
  EXPECT_EQ(query.run_scsi_ata_translation(3, record), "USB-1");
  EXPECT_EQ(recorder.device_opens.back().requests.size(), 1u);
}

}  // namespace
}  // namespace korvex::tests
