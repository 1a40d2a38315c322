// The export layer: which slots each export reads and which result cells it
// writes, called as a host calls them, on a freshly loaded module.
#include "module/exports.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "export_arguments.h"
#include "heap_allocations.h"
#include "identify_fixtures.h"
#include "loaded_module.h"
#include "module/export_table.h"
#include "module/linked_exports.h"
#include "module_caller.h"
#include "observing_platform.h"

namespace korvex::tests {
namespace {

using Export = void (*)();

// The linked exports by name, for the calls a host makes through ModuleCaller.
class LinkedExports final : public host_tool::ModuleBinding {
 public:
  void* find(const char* name) const override { return linked_export(name); }
};
const LinkedExports linked_exports;

struct ExportsTest : ::testing::Test {
  SimulatedMachine machine;
  ObservingPlatform recorder{machine};
  LoadedModule module{recorder};
};

TEST_F(ExportsTest, StartWithAZeroResultAndAnEmptyText) {
  EXPECT_EQ(GetData(), 0);
  const char* text = GetFile();
  ASSERT_NE(text, nullptr);
  EXPECT_STREQ(text, "");
  SetData(7);
  EXPECT_EQ(GetData(), 0) << "a push writes no result";
}

TEST_F(ExportsTest, SetFileCopiesTheTextAndTakesNullAsEmpty) {
  char buffer[] = "first";
  SetFile(buffer);
  std::strcpy(buffer, "xxxxx");
  SetFile(nullptr);
  EXPECT_EQ(module->exchange.text_slot(0), "");
  EXPECT_EQ(module->exchange.text_slot(1), "first");
  for (int i = 0; i < 5; ++i) SetFile("later");
  EXPECT_EQ(module->exchange.text_slot(4), "later");
}

TEST_F(ExportsTest, SetFilePushesEveryTextAndGreetsOnlyTheTriggerWord) {
  for (const char* text : std::initializer_list<const char*>{"quex", "Quex ", nullptr, "Quex"}) {
    SetFile(text);
    EXPECT_EQ(module->exchange.text_slot(0), text == nullptr ? "" : text);
  }
  EXPECT_EQ(recorder.message_boxes.size(), 1u);
}

TEST_F(ExportsTest, GetFileGivesTheSamePointerUntilTheTextResultChanges) {
  module->exchange.set_text_result("answer");
  const char* first = GetFile();
  EXPECT_EQ(GetFile(), first);
  EXPECT_STREQ(first, "answer");
}

TEST_F(ExportsTest, SetPathCopiesThePathAndTakesNullAsEmpty) {
  char buffer[] = "C:\\Host\\";
  SetPath(buffer);
  std::strcpy(buffer, "xxxxxxx");
  EXPECT_EQ(module->settings.path(), "C:\\Host\\");
  SetPath(nullptr);
  EXPECT_EQ(module->settings.path(), "");
}

TEST(RenameEventExport, ReadsTheIdentifierFromTextSlotOneAndTheNameFromSlotZero) {
  struct Case {
    std::vector<const char*> pushes;
    const char* first;
  };
  const Case cases[] = {
      {{}, "OnEnum"},
      {{"ID_OnEnum", "Scan"}, "Scan"},
      {{"Scan", "ID_OnEnum"}, "OnEnum"},
      {{"ID_OnEnum", "Scan", "Again"}, "OnEnum"},
      {{"ID_OnEnum", nullptr}, ""},
  };
  for (const Case& c : cases) {
    SimulatedMachine machine;
    LoadedModule module(machine);
    for (const char* text : c.pushes) SetFile(text);
    RenameEvent();
    EXPECT_EQ(module->events.name(0), c.first) << c.pushes.size() << " pushes";
  }
}

TEST_F(ExportsTest, ListDrivesWritesOnlyTheCountAndGettersOnlyTheText) {
  for (const char letter : {'Z', 'E', 'C', 'Q'}) machine.drives[letter] = {};
  SetData(-5);
  module->exchange.set_text_result("before");
  ListDrives();
  EXPECT_EQ(GetData(), 4);
  EXPECT_STREQ(GetFile(), "before");
  EXPECT_EQ(module->exchange.data_slot(0), -5);
  SetData(1);
  SelectDrive();
  SelectDrive();
  GetDriveLetter();
  EXPECT_STREQ(GetFile(), "E") << "SelectDrive reads slot 0 without removing it";
  EXPECT_EQ(module->exchange.data_slot(0), 1);
  EXPECT_EQ(GetData(), 4);
}

TEST_F(ExportsTest, DriveGettersWithoutASelectedDriveLeaveTheTextResult) {
  const Export getters[] = {GetDriveLetter, GetDriveFileSystem, GetVolumeLabel, GetVolumeSerial,
                            GetDriveType,   GetTotalSpace,      GetFreeSpace,   GetUsedSpace,
                            GetUsedPercent, GetFreePercent};
  const auto expect_untouched = [&](const char* why) {
    module->exchange.set_text_result("previous");
    for (const Export getter : getters) {
      getter();
      EXPECT_STREQ(GetFile(), "previous") << why;
    }
  };
  const auto select = [](std::int32_t index) {
    SetData(index);
    SelectDrive();
  };
  machine.drives['C'] = {};
  machine.drives['D'] = {};

  select(0);
  expect_untouched("selected before any ListDrives");
  ListDrives();
  expect_untouched("nothing selected yet");
  select(-1);
  expect_untouched("index -1");
  select(2);
  expect_untouched("index equal to the count");
  select(1);
  select(7);
  expect_untouched("a valid selection replaced by an index out of range");
  select(0);
  ListDrives();
  expect_untouched("selection cleared by a second ListDrives");
}

// SetAlign reads the mode from slot 0 and the decimal places from slot 1, and
// the sizes of drives listed before it follow the new settings.
TEST(SetAlignExport, SetsBothSettingsOrNeither) {
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
    LoadedModule module(machine);
    ListDrives();
    for (const Pushes& pushes : calls) {
      for (const std::int32_t value : pushes) SetData(value);
      SetAlign();
    }
    SetData(0);
    SelectDrive();
    GetTotalSpace();
    EXPECT_STREQ(GetFile(), total) << ::testing::PrintToString(calls);
  }
}

TEST_F(ExportsTest, GetHddInfoTakesTheDeviceNumberFromSlotZeroAndWritesBothCells) {
  machine.devices["\\\\.\\Scsi3:"] = answering(sector_with_serial("SER-3"));
  module->exchange.set_text_result("old");
  GetHddInfo();
  EXPECT_EQ(recorder.device_opens.back().name, "\\\\.\\PhysicalDrive0") << "nothing pushed: 0";
  EXPECT_STREQ(GetFile(), "");
  EXPECT_EQ(GetData(), 2);
  SetData(1);
  SetData(3);
  GetHddInfo();
  GetHddInfo();
  EXPECT_STREQ(GetFile(), "SER-3");
  EXPECT_EQ(module->exchange.data_slot(0), 3) << "the device number stays pushed";
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

TEST_F(ExportsTest, DiskGettersAnswerInTheirFormAndTouchOnlyTheirCell) {
  struct Case {
    const char* name;
    Export getter;
    bool number;        // answers in the result slot; otherwise in the text result
    std::string known;  // the number in decimal for a number getter
    std::string zero;   // before any disk answered
  };
  const Case cases[] = {
      {"GenConfig, top bit set", GetHddGenConfig, true, "32768", "0"},
      {"NumCyls", GetHddNumCyls, true, "16383", "0"},
      {"NumHeads", GetHddNumHeads, true, "16", "0"},
      {"BytesPerTrack", GetHddBytesPerTrack, true, "35328", "0"},
      {"BytesPerSector", GetHddBytesPerSector, true, "512", "0"},
      {"SectorsPerTrack", GetHddSectorsPerTrack, true, "63", "0"},
      {"VendorUnique", GetHddVendorUnique, false, "", ""},
      {"PhysicalSerial", GetHddPhysicalSerial, false, "WD-WCAV12345678", ""},
      {"BufferType", GetHddBufferType, false, "3", "0"},
      {"BufferSize, all bits set", GetHddBufferSize, false, "65535", "0"},
      {"ECCSize", GetHddECCSize, false, "4", "0"},
      {"FirmwareRev", GetHddFirmwareRev, false, "01.01A01", ""},
      {"ModelNumber", GetHddModelNumber, false, "KORVEX TEST DISK 2000", ""},
      {"MoreVendorUnique", GetHddMoreVendorUnique, false, "32784", "0"},
      {"Capabilities", GetHddCapabilities, false, "3840", "0"},
      {"PIOTiming", GetHddPIOTiming, false, "512", "0"},
      {"DMATiming", GetHddDMATiming, false, "256", "0"},
      {"BS", GetHddBS, false, "7", "0"},
      {"NumCurrentCyls", GetHddNumCurrentCyls, false, "16383", "0"},
      {"NumCurrentHeads", GetHddNumCurrentHeads, false, "16", "0"},
      {"NumCurrentSectorsPerTrack", GetHddNumCurrentSectorsPerTrack, false, "63", "0"},
      {"CurrentSectorCapacity, high word 1", GetHddCurrentSectorCapacity, false, "65536", "0"},
      {"MultSectorStuff", GetHddMultSectorStuff, false, "33040", "0"},
      {"TotalAddressableSectors, top bit set", GetHddTotalAddressableSectors, false,
       "-1698933128", "0"},
      {"SingleWordDMA", GetHddSingleWordDMA, false, "263", "0"},
      {"MultiWordDMA", GetHddMultiWordDMA, false, "1031", "0"},
  };
  constexpr std::int32_t kResultBefore = -7;
  const std::string text_before = "before";
  const auto check = [&](const Case& c, const std::string& expected, const char* when) {
    for (int twice = 0; twice < 2; ++twice) {
      module->exchange.set_result(kResultBefore);
      module->exchange.set_text_result(text_before);
      c.getter();
      if (c.number) {
        EXPECT_EQ(std::to_string(GetData()), expected) << c.name << when;
        EXPECT_EQ(GetFile(), text_before) << c.name << when;
      } else {
        EXPECT_EQ(GetFile(), expected) << c.name << when;
        EXPECT_EQ(GetData(), kResultBefore) << c.name << when;
      }
    }
  };
  for (const Case& c : cases) check(c, c.zero, " before any disk");
  const IdentifySector sector = known_sector();
  machine.devices["\\\\.\\Scsi0:"] = answering(sector);
  GetHddInfo();
  ASSERT_STREQ(GetFile(), "WD-WCAV12345678");
  for (const Case& c : cases) check(c, c.known, "");
  const auto& record = module->disks.record().bytes();
  EXPECT_TRUE(std::equal(record.begin(), record.end(), sector.begin()))
      << "getters leave the record as it was";
}

TEST_F(ExportsTest, AStorageDescriptorAnswersTheTextGettersAndLeavesTheNumbersZero) {
  machine.elevated = false;
  machine.devices["\\\\.\\PhysicalDrive0"] = describing(
      {.product = "Samsung SSD 980 PRO 1TB", .revision = "5B2QGXA7", .serial = "S6B1NX0R123456"});
  module->exchange.set_result(-7);
  GetHddInfo();
  EXPECT_STREQ(GetFile(), "S6B1NX0R123456");
  EXPECT_EQ(GetData(), 0);
  const std::pair<Export, const char*> texts[] = {{GetHddPhysicalSerial, "S6B1NX0R123456"},
                                                  {GetHddFirmwareRev, "5B2QGXA7"},
                                                  {GetHddModelNumber, "Samsung SSD 980 PRO 1TB"},
                                                  {GetHddBufferSize, "0"},
                                                  {GetHddTotalAddressableSectors, "0"}};
  for (const auto& [getter, expected] : texts) {
    getter();
    EXPECT_STREQ(GetFile(), expected);
  }
  GetHddNumCyls();
  EXPECT_EQ(GetData(), 0);
}

TEST_F(ExportsTest, WhenEveryAttemptFailsGetErrorMessageExplainsTheFirstTwoAttemptsFailure) {
  machine.elevated = false;
  machine.messages[1] = "Invalid function.\r\n";
  machine.messages[5] = "Access denied.\r\n";
  // Opens with access 0, so the storage query reaches it and fails with 1.
  machine.devices["\\\\.\\PhysicalDrive0"] = {};
  GetHddInfo();
  EXPECT_EQ(GetData(), 5);
  GetErrorMessage();
  EXPECT_STREQ(GetFile(), "Access denied.");
}

TEST_F(ExportsTest, GetErrorMessageReplacesTheTextEvenWithNone) {
  machine.messages[2] = "File not found.\r\n";
  machine.last_error = 2;
  module->exchange.set_text_result("earlier");
  GetErrorMessage();
  EXPECT_STREQ(GetFile(), "File not found.");
  machine.last_error = 3;
  GetErrorMessage();
  EXPECT_STREQ(GetFile(), "");
}

// The module straight on the machine, so that every allocation counted is
// the module's own and none a recorder's.
struct UnobservedExportsTest : ::testing::Test {
  SimulatedMachine machine;
  LoadedModule module{machine};
};

// Hosts call the getters in tight loops: once the module has answered once,
// every exchange export and every getter reuses the storage it has.
TEST_F(UnobservedExportsTest, ExchangeExportsAndGettersAllocateNothingOnceTheyHaveAnswered) {
  constexpr std::int64_t kGiB = std::int64_t{1} << 30;
  machine.drives['C'] = {.label = std::string(200, 'L'), .file_system = std::string(100, 'F'),
                         .serial = 0xA4B3C2D1, .total = 80026361857, .free = 25 * kGiB + 1};
  machine.devices["\\\\.\\Scsi0:"] = answering(known_sector());
  machine.messages[2] = "The system cannot find the file specified.\r\n";
  const std::string pushed(40, 'p');
  // Five places in kilobytes give the longest size texts; slot 0 then selects drive 0.
  const host_tool::ModuleCaller host(linked_exports);
  const auto set_align = [&host] {
    host.set_align(1, 5);
    SetData(0);
  };
  const std::pair<const char*, std::function<void()>> calls[] = {
      {"SetData, SetAlign", set_align},
      {"GetData", [] { GetData(); }},
      {"SetFile", [&] { SetFile(pushed.c_str()); }},
      {"GetFile", [] { GetFile(); }},
      {"GetInfo", [] { GetInfo(); }},
      {"Copyright", [] { Copyright(); }},
      {"SelectDrive", SelectDrive},
      {"GetDriveLetter", GetDriveLetter},
      {"GetDriveFileSystem", GetDriveFileSystem},
      {"GetVolumeLabel", GetVolumeLabel},
      {"GetVolumeSerial", GetVolumeSerial},
      {"GetDriveType", GetDriveType},
      {"GetTotalSpace", GetTotalSpace},
      {"GetFreeSpace", GetFreeSpace},
      {"GetUsedSpace", GetUsedSpace},
      {"GetUsedPercent", GetUsedPercent},
      {"GetFreePercent", GetFreePercent},
      {"GetErrorMessage", [&] { machine.last_error = 2; GetErrorMessage(); }},
      {"GetHddGenConfig", GetHddGenConfig},
      {"GetHddPhysicalSerial", GetHddPhysicalSerial},
      {"GetHddModelNumber", GetHddModelNumber},
      {"GetHddFirmwareRev", GetHddFirmwareRev},
      {"GetHddCurrentSectorCapacity", GetHddCurrentSectorCapacity},
      {"GetHddVendorUnique", GetHddVendorUnique},
  };
  ListDrives();
  GetHddInfo();
  set_align();
  SelectDrive();
  // A pushed text reuses the storage of the text it pushes out of slot 4.
  for (int slot = 0; slot < ValueExchange::kSlots; ++slot) SetFile(pushed.c_str());
  for (int round = 0; round < 2; ++round) {
    for (const auto& [name, call] : calls) {
      const std::size_t before = heap_allocations();
      call();
      if (round == 1) {
        EXPECT_EQ(heap_allocations() - before, 0u) << name;
      }
    }
  }
  GetTotalSpace();
  EXPECT_STREQ(GetFile(), "78150744.00098 KB") << "the sizes were written";
}

}  // namespace
}  // namespace korvex::tests


namespace korvex::tests {
namespace {

// Every export but GetHddInfo leaves the thread's last error as it found it,
// also where its own system calls fail: a drive that cannot be read, a window
// handle the system refuses, a code without a message text.
TEST(ExportsLastError, EveryExportButGetHddInfoLeavesTheHostsCode) {
  constexpr std::uint32_t kHostsCode = 0x2000FFFF;  // no message text either
  SimulatedMachine machine;
  machine.drives['C'] = {.label = "SYSTEM", .total = 100, .free = 40};
  machine.drives['D'] = {.volume_error = 21};
  machine.drives['E'] = {.space_error = 5};
  LoadedModule module(machine);
  for (const ExportEntry& entry : kExports) {
    if (entry.name == "GetHddInfo") continue;
    SCOPED_TRACE(std::string(entry.name));
    const std::vector<host_tool::Argument> arguments = ordinary_arguments(entry);
    SetData(0);
    machine.last_error = kHostsCode;
    host_tool::call_export(entry, linked_export(entry.name), arguments);
    EXPECT_EQ(machine.last_error, kHostsCode);
  }
}

TEST(ExportsLastError, GetHddInfoLeavesTheCodeItReports) {
  SimulatedMachine machine;
  LoadedModule module(machine);
  machine.last_error = 0;
  SetData(0);
  GetHddInfo();
  EXPECT_NE(GetData(), 0) << "no disk answers on an empty machine";
  EXPECT_EQ(machine.last_error, static_cast<std::uint32_t>(GetData()));
}

}  // namespace
}  // namespace korvex::tests
