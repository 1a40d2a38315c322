#include "identify/storage_descriptor.h"

#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <vector>

#include "identify/storage_property_query.h"
#include "identify_fixtures.h"
#include "observing_platform.h"

namespace korvex::tests {
namespace {

// A descriptor answer of the given size: text offsets at 12, 16, 20 and 24,
// and texts written where a case puts them.
struct Placed {
  std::size_t at;
  std::string bytes;  // written as they are, NUL only where the case puts one
};
std::vector<std::uint8_t> answer_of(std::size_t size, std::vector<std::uint32_t> offsets,
                                    std::vector<Placed> texts) {
  std::vector<std::uint8_t> answer(size + 8);  // room for a field cut by the answer's end
  for (std::size_t i = 0; i < offsets.size(); ++i) {
    std::memcpy(answer.data() + 12 + 4 * i, &offsets[i], 4);
  }
  for (const Placed& text : texts) {
    std::memcpy(answer.data() + text.at, text.bytes.data(), text.bytes.size());
  }
  answer.resize(size);
  return answer;
}

TEST(StorageDescriptor, ReadsOnlyTextsThatLieWhollyInsideTheAnswer) {
  struct Case {
    const char* name;
    std::vector<std::uint8_t> answer;
    StorageDeviceTexts expected;
  };
  const Case cases[] = {
      {"four texts, kept as the driver wrote them",
       answer_of(80, {40, 52, 62, 68}, {{40, " Kingston"}, {52, "DT 3.0  "}, {62, "PMAP"},
                                        {68, "\t 0123 4\x01"}}),
       {" Kingston", "DT 3.0  ", "PMAP", "\t 0123 4\x01", 0}},
      {"offset 0: absent", answer_of(64, {0, 40, 0, 0}, {{40, "P"}}), {"", "P", "", "", 0}},
      {"a NUL at the answer's last byte still ends a text",
       answer_of(42, {0, 40}, {{40, "P"}}), {"", "P", "", "", 0}},
      {"no NUL before the answer's end: absent", answer_of(41, {0, 40}, {{40, "P"}}),
       {"", "", "", "", 0}},
      {"offsets at or beyond the answer's end: absent",
       answer_of(48, {48, 0xFFFFFFFF, 47, 1000}, {{47, "R"}}), {"", "", "", "", 0}},
      {"an answer that ends before the bus type", answer_of(31, {0, 0, 0, 0}, {}),
       {"", "", "", "", std::nullopt}},
      {"an offset field the answer cuts: absent", answer_of(26, {0, 0, 0, 8}, {}),
       {"", "", "", "", std::nullopt}},
      {"an empty answer", {}, {"", "", "", "", std::nullopt}},
  };
  for (const Case& c : cases) {
    const StorageDeviceTexts texts = storage_device_texts(c.answer);
    EXPECT_EQ(texts.vendor, c.expected.vendor) << c.name;
    EXPECT_EQ(texts.product, c.expected.product) << c.name;
    EXPECT_EQ(texts.revision, c.expected.revision) << c.name;
    EXPECT_EQ(texts.serial, c.expected.serial) << c.name;
    EXPECT_EQ(texts.bus_type, c.expected.bus_type) << c.name;
  }
}

// "WD-WCAV12345678" as the 20-byte serial field of an identify sector, blank
// padded at its start, two digits a byte, each word's bytes swapped.
constexpr const char* kHexSerial = "2020202057202d44435756413231343336353837";

TEST(StorageDescriptor, DecodesAHexadecimalSerialOnlyInItsExactForm) {
  struct Case {
    std::string serial;
    std::optional<std::string> decoded;
  };
  const Case cases[] = {
      {kHexSerial, "     WD-WCAV12345678"},
      {"2020202057202D44435756413231343336353837", "     WD-WCAV12345678"},  // either case
      {"4A5B6C7D", std::nullopt},  // a genuine serial of hexadecimal digits
      {std::string(kHexSerial) + "20", std::nullopt},
      {std::string(kHexSerial).substr(4), std::nullopt},
      {"2020202057202d4443575641323134333635383g", std::nullopt},
      {"2020202057202d44435756413231343336353812", std::nullopt},  // 0x12 is not printable
      {"", std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(decoded_hex_serial(c.serial), c.decoded) << c.serial;
}

TEST(StorageDescriptor, TextsAsDriversFillThem) {
  struct Case {
    const char* name;
    StorageDeviceTexts texts;
    DiskTexts expected;
  };
  constexpr std::uint32_t kUsb = 7, kAta = 3, kSata = 11, kNvme = 17;
  const Case cases[] = {
      {"SATA: the model split at the vendor field joined again",
       {"WDC WD80", "0JB-00JJC0", "", "", kSata}, {"", "", "WDC WD800JB-00JJC0"}},
      {"ATA: one blank of the vendor field kept between the words",
       {"SAMSUNG   ", " HD501LJ ", "", "", kAta}, {"", "", "SAMSUNG HD501LJ"}},
      {"USB: an 8-letter vendor kept apart from its product",
       {"Kingston", "DataTraveler 3.0", "PMAP", "", kUsb},
       {"", "PMAP", "Kingston DataTraveler 3.0"}},
      {"no bus named: vendor and product apart", {" Vendor ", " Disk ", "", "", std::nullopt},
       {"", "", "Vendor Disk"}},
      {"the vendor \"ATA\" left out", {"ATA     ", "WDC WD10EZEX-08WN4A0  ", "", "", kSata},
       {"", "", "WDC WD10EZEX-08WN4A0"}},
      {"the vendor \"NVMe\" left out", {"NVMe    ", "Samsung SSD 980 PRO 1TB", "", "", kNvme},
       {"", "", "Samsung SSD 980 PRO 1TB"}},
      {"blanks around serial and revision dropped", {"", "", " 1.0 ", "  S-1  ", kSata},
       {"S-1", "1.0", ""}},
      {"a 40-digit hexadecimal serial decoded, its blanks dropped", {"", "", "", kHexSerial, kSata},
       {"WD-WCAV12345678", "", ""}},
      {"hexadecimal digits of another length kept", {"", "", "", "4A5B6C7D", kSata},
       {"4A5B6C7D", "", ""}},
  };
  for (const Case& c : cases) {
    const DiskTexts texts = disk_texts_of(c.texts);
    EXPECT_EQ(texts.serial, c.expected.serial) << c.name;
    EXPECT_EQ(texts.firmware, c.expected.firmware) << c.name;
    EXPECT_EQ(texts.model, c.expected.model) << c.name;
  }
}

TEST(StoragePropertyQuery, AsksWithoutAccessRightsForTheStandardDeviceProperty) {
  SimulatedMachine machine;
  machine.elevated = false;
  machine.devices["\\\\.\\PhysicalDrive-1"] = describing({.serial = "S"});
  ObservingPlatform recorder(machine);
  IdentifyRecord record;
  EXPECT_EQ(run_storage_property_query(recorder, -1, record), "S");
  ASSERT_EQ(recorder.device_opens.size(), 1u);
  const DeviceOpen& open = recorder.device_opens[0];
  EXPECT_EQ(open.access, 0u);
  EXPECT_EQ(open.share, 3u);
  EXPECT_EQ(open.disposition, 3u);
  ASSERT_EQ(open.requests.size(), 1u) << "bus type 0 is not NVMe";
  EXPECT_EQ(open.requests[0].code, 0x2D1400u);
  EXPECT_EQ(open.requests[0].input, std::vector<std::uint8_t>(12, 0));
  EXPECT_EQ(open.requests[0].output_size, 1024u);
  EXPECT_EQ(machine.open_device_count(), 0);
}

TEST(StoragePropertyQuery, AsksAnNvmeDiskForItsControllerAndNamespaceOnTheSameHandle) {
  SimulatedMachine machine;
  machine.elevated = false;
  machine.devices["\\\\.\\PhysicalDrive0"] = {
      .storage_descriptor = SimulatedStorageDescriptor{.serial = "E823_8FA6_BF53_0001_001B_448B_4A2D_1A4C.",
                                                       .bus_type = 17},
      .nvme_identify_controller = nvme_controller_data("S6B1NX0R123456", "Samsung SSD 980", "5B2QGXA7"),
      .nvme_namespace_size = 0x74706DB0};
  ObservingPlatform recorder(machine);
  IdentifyRecord record;
  EXPECT_EQ(run_storage_property_query(recorder, 0, record), "S6B1NX0R123456");
  IdentifySector expected = described("S6B1NX0R123456", "5B2QGXA7", "Samsung SSD 980");
  put_word(expected, 60, 0xFFFF);  // capped at ATA's 28 bits
  put_word(expected, 61, 0x0FFF);
  EXPECT_TRUE(std::equal(record.bytes().begin(), record.bytes().end(), expected.begin()));

  ASSERT_EQ(recorder.device_opens.size(), 1u);
  const auto& requests = recorder.device_opens[0].requests;
  ASSERT_EQ(requests.size(), 3u);
  // PropertyId, QueryType, then ProtocolType 3, DataType 1, request value and
  // sub-value, ProtocolDataOffset 40, ProtocolDataLength 4096.
  EXPECT_EQ(requests[1].input, bytes_from_hex("31000000 00000000 03000000 01000000 01000000 "
                                              "00000000 28000000 00100000",
                                              8 + 40 + 4096));
  EXPECT_EQ(requests[2].input, bytes_from_hex("32000000 00000000 03000000 01000000 00000000 "
                                              "01000000 28000000 00100000",
                                              8 + 40 + 4096));
  for (std::size_t i = 1; i < requests.size(); ++i) {
    EXPECT_EQ(requests[i].code, 0x2D1400u);
    EXPECT_EQ(requests[i].output_size, 8u + 40 + 4096);
  }
  EXPECT_EQ(machine.open_device_count(), 0);
}

// NVMe answers whose offset and length do not lie inside the bytes returned
// are not read: the descriptor's texts stay.
TEST(StoragePropertyQuery, ReadsNvmeDataOnlyInsideTheAnswer) {
  constexpr std::size_t kOffsetAt = 8 + 16, kLengthAt = 8 + 20;
  const auto put = [](std::uint8_t* output, std::size_t at, std::uint32_t value) {
    std::memcpy(output + at, &value, 4);
  };
  struct Case {
    const char* name;
    RewritingAnswers::Rewrite rewrite;
  };
  const Case cases[] = {
      {"the offset points behind the answer",
       [&](std::uint32_t, std::uint8_t* out, std::uint32_t*) { put(out, kOffsetAt, 41); }},
      {"the offset wraps around",
       [&](std::uint32_t, std::uint8_t* out, std::uint32_t*) { put(out, kOffsetAt, 0xFFFFFFF8); }},
      {"the offset points into the descriptor",
       [&](std::uint32_t, std::uint8_t* out, std::uint32_t*) { put(out, kOffsetAt, 0); }},
      {"the length reaches past the answer",
       [&](std::uint32_t, std::uint8_t* out, std::uint32_t*) { put(out, kLengthAt, 4097); }},
      {"the length too short for the texts",
       [&](std::uint32_t, std::uint8_t* out, std::uint32_t*) { put(out, kLengthAt, 71); }},
      {"fewer bytes returned than the data take",
       [](std::uint32_t, std::uint8_t*, std::uint32_t* returned) { *returned -= 1; }},
      {"a count short of the descriptor",
       [](std::uint32_t, std::uint8_t*, std::uint32_t* returned) { *returned = 47; }},
  };
  for (const Case& c : cases) {
    SimulatedMachine machine;
    machine.devices["\\\\.\\PhysicalDrive0"] = {
        .storage_descriptor = SimulatedStorageDescriptor{.serial = "DESCRIBED", .bus_type = 17},
        .nvme_identify_controller = nvme_controller_data("OWN", "", "")};
    // Only the NVMe answer is rewritten: it is the one longer than the descriptor's.
    RewritingAnswers platform(machine, [&](std::uint32_t code, std::uint8_t* out,
                                           std::uint32_t* returned) {
      if (*returned > 1024) c.rewrite(code, out, returned);
    });
    IdentifyRecord record;
    EXPECT_EQ(run_storage_property_query(platform, 0, record), "DESCRIBED") << c.name;
  }
}

TEST(IdentifyRecord, PutsATextAsTheSectorStoresIt) {
  IdentifyRecord record;
  record.put_text(kFirmwareRevisionField, "ABC");
  record.put_text(kSerialNumberField, std::string(25, 'x') + "END");
  const auto& bytes = record.bytes();
  EXPECT_EQ(std::string(bytes.begin() + 46, bytes.begin() + 54), "BA C    ");
  EXPECT_EQ(std::string(bytes.begin() + 20, bytes.begin() + 40), std::string(20, 'x'));
  EXPECT_EQ(bytes[19], 0);
  EXPECT_EQ(bytes[40], 0);
  EXPECT_EQ(bytes[45], 0);
  EXPECT_EQ(bytes[54], 0);
}

}  // namespace
}  // namespace korvex::tests
