#include "identify/storage_descriptor.h"

#include <gtest/gtest.h>

#include <cstring>
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
      {"four texts, the blanks around them dropped",
       answer_of(80, {40, 52, 62, 68}, {{40, " Kingston"}, {52, "DT 3.0  "}, {62, "PMAP"},
                                        {68, "\t 0123 4\x01"}}),
       {"Kingston", "DT 3.0", "PMAP", "0123 4"}},
      {"offset 0: absent", answer_of(64, {0, 40, 0, 0}, {{40, "P"}}), {"", "P", "", ""}},
      {"a NUL at the answer's last byte still ends a text",
       answer_of(42, {0, 40}, {{40, "P"}}), {"", "P", "", ""}},
      {"no NUL before the answer's end: absent", answer_of(41, {0, 40}, {{40, "P"}}),
       {"", "", "", ""}},
      {"offsets at or beyond the answer's end: absent",
       answer_of(48, {48, 0xFFFFFFFF, 47, 1000}, {{47, "R"}}), {"", "", "", ""}},
      {"an offset field the answer cuts: absent", answer_of(26, {0, 0, 0, 8}, {}),
       {"", "", "", ""}},
      {"an empty answer", {}, {"", "", "", ""}},
  };
  for (const Case& c : cases) {
    const StorageDeviceTexts texts = storage_device_texts(c.answer);
    EXPECT_EQ(texts.vendor, c.expected.vendor) << c.name;
    EXPECT_EQ(texts.product, c.expected.product) << c.name;
    EXPECT_EQ(texts.revision, c.expected.revision) << c.name;
    EXPECT_EQ(texts.serial, c.expected.serial) << c.name;
  }
}

TEST(StorageDescriptor, DecodesAHexadecimalSerialOnlyInItsExactForm) {
  struct Case {
    const char* serial;
    std::optional<std::string> decoded;
  };
  const Case cases[] = {
      {"4457572d41433156", "WD-WCAV1"},  // each word's two bytes swapped back
      {"4A4b", "KJ"},                    // either case
      {"2020202020205a53", "      SZ"},
      {"4457572d414331", std::nullopt},  // not a multiple of 4
      {"4457572g", std::nullopt},
      {"12345678", std::nullopt},  // 0x12 and 0x34 are not printable
      {"44577f2d", std::nullopt},
      {"", std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(decoded_hex_serial(c.serial), c.decoded) << c.serial;

  const StorageDeviceTexts texts{.serial = "2020202020205a53"};
  EXPECT_EQ(disk_texts_of(texts, true).serial, "SZ") << "decoded, then the blanks dropped";
  EXPECT_EQ(disk_texts_of(texts, false).serial, "2020202020205a53");
}

TEST(StoragePropertyQuery, AsksWithoutAccessRightsForTheStandardDeviceProperty) {
  SimulatedMachine machine;
  machine.elevated = false;
  machine.devices["\\\\.\\PhysicalDrive-1"] = describing({.serial = "S"});
  ObservingPlatform recorder(machine);
  IdentifyRecord record;
  EXPECT_EQ(run_storage_property_query(recorder, -1, false, record), "S");
  ASSERT_EQ(recorder.device_opens.size(), 1u);
  const DeviceOpen& open = recorder.device_opens[0];
  EXPECT_EQ(open.access, 0u);
  EXPECT_EQ(open.share, 3u);
  EXPECT_EQ(open.disposition, 3u);
  ASSERT_EQ(open.requests.size(), 1u);
  EXPECT_EQ(open.requests[0].code, 0x2D1400u);
  EXPECT_EQ(open.requests[0].input, std::vector<std::uint8_t>(12, 0));
  EXPECT_EQ(open.requests[0].output_size, 1024u);
  EXPECT_EQ(machine.open_device_count(), 0);
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
