// Every export that calls the system, walked through every single point of
// failure: each use of each call the system can fail, failing once and
// failing from then on. Each outcome is checked against the failure rules of
// the export, and no export may leave a device handle open.
#include "observing_platform.h"

#include <gtest/gtest.h>

#include <array>
#include <algorithm>
#include <functional>
#include <map>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

#include "identify/identify_text.h"
#include "identify_fixtures.h"
#include "loaded_module.h"
#include "module/exports.h"
#include "platform/disk_control.h"

namespace korvex::tests {
namespace {

constexpr std::uint32_t kInjectedError = 1117;  // ERROR_IO_DEVICE
constexpr std::uint32_t kNotReady = 21;
constexpr std::uint32_t kHostErrorMode = 0x8002;

TEST(ObservingPlatform, FailsAUseAloneOrFromThenOnWithoutReachingTheSystem) {
  SimulatedMachine machine;
  machine.devices["d"] = answering({});
  machine.messages[0] = "Done.";
  ObservingPlatform faults(machine);
  faults.inject({PlatformCall::kCreateFile, 2, false, kNotReady});
  faults.inject({PlatformCall::kFormatMessage, 2, true, kInjectedError});

  std::vector<bool> opened;
  std::vector<std::uint32_t> last_errors;
  for (int use = 1; use <= 3; ++use) {
    opened.push_back(faults.create_file("d", 0, 0, 0) != kInvalidDeviceHandle);
    last_errors.push_back(machine.last_error);
  }
  EXPECT_EQ(opened, (std::vector<bool>{true, false, true}));
  EXPECT_EQ(last_errors, (std::vector<std::uint32_t>{0, kNotReady, kNotReady}));
  EXPECT_EQ(machine.open_device_count(), 2) << "the failing open did not reach the machine";
  EXPECT_TRUE(faults.failed(PlatformCall::kCreateFile, 2));
  EXPECT_TRUE(faults.failed_on(PlatformCall::kCreateFile, "d"));

  char text[16];
  std::vector<std::uint32_t> counts;
  for (int use = 1; use <= 3; ++use) counts.push_back(faults.format_message(0, text, sizeof text));
  EXPECT_EQ(counts, (std::vector<std::uint32_t>{5, 0, 0}));
  EXPECT_EQ(machine.last_error, kInjectedError);
  EXPECT_EQ(faults.uses(PlatformCall::kFormatMessage), 3);
  EXPECT_EQ(faults.failures(PlatformCall::kFormatMessage), 2);
}

// Every use is recorded as the module made it, failing or not: a request's
// input as it was before the device wrote its answer over it.
TEST(ObservingPlatform, RecordsEveryUseWithItsArgumentsAndResult) {
  SimulatedMachine machine;
  IdentifySector sector;
  sector.fill(0xA5);
  machine.devices["d"] = answering(sector);
  ObservingPlatform observer(machine);
  observer.inject({PlatformCall::kCloseHandle, 1, false, kInjectedError});
  EXPECT_THROW(observer.inject({PlatformCall::kGetVersion, 1, false, kInjectedError}),
               std::invalid_argument);

  const DeviceHandle device = observer.create_file("d", 1, 2, 3);
  std::vector<std::uint8_t> buffer(600, 0x5A);
  std::uint32_t returned = 0;
  ASSERT_TRUE(observer.device_io_control(device, win32::kSmartReceiveDriveData, buffer.data(), 4,
                                         buffer.data(), 600, &returned));
  ASSERT_NE(std::count(buffer.begin(), buffer.end(), 0xA5), 0) << "the answer is in the buffer";
  observer.close_handle(device);
  observer.message_box("text", nullptr, 0x10);

  std::vector<std::string> log;
  for (const PlatformUse& use : observer.all_uses()) {
    log.push_back(std::string(platform_call_name(use.call)) + " " + std::to_string(use.number) +
                  (use.failed ? " failed" : "") + " -> " + std::to_string(use.result));
  }
  EXPECT_EQ(log, (std::vector<std::string>{"CreateFileA 1 -> " + std::to_string(device),
                                           "DeviceIoControl 1 -> 1", "CloseHandle 1 failed -> 0",
                                           "MessageBoxA 1 -> 0"}));
  ASSERT_EQ(observer.device_opens.size(), 1u);
  const DeviceOpen& open = observer.device_opens[0];
  EXPECT_EQ(open.name, "d");
  EXPECT_EQ(std::vector<std::uint32_t>({open.access, open.share, open.disposition}),
            (std::vector<std::uint32_t>{1, 2, 3}));
  EXPECT_TRUE(open.closed) << "asked to close, though the close failed";
  ASSERT_EQ(open.requests.size(), 1u);
  EXPECT_EQ(open.requests[0].input, std::vector<std::uint8_t>(4, 0x5A));
  EXPECT_EQ(open.requests[0].output_size, 600u);
  EXPECT_TRUE(open.requests[0].answered);
  ASSERT_EQ(observer.message_boxes.size(), 1u);
  EXPECT_EQ(observer.message_boxes[0].caption, std::nullopt);
  EXPECT_EQ(machine.open_device_count(), 1) << "the failing close did not reach the machine";
}

// What the host saw: the answers it read, in order, and the thread's
// last-error code after the export that calls the system.
struct Answers {
  std::vector<std::string> lines;
  std::uint32_t last_error = 0;
};

using SetUp = std::function<void(SimulatedMachine&)>;

// A freshly loaded module whose platform calls pass through the observer to
// the simulated machine.
struct ModuleRun {
  explicit ModuleRun(const SetUp& set_up) { set_up(machine); }

  SimulatedMachine machine;
  ObservingPlatform observer{machine};
  LoadedModule module{observer};
};

using Host = std::function<Answers(ModuleRun&)>;
// Given the run with the fault, what it answered and what the run without a
// fault answered.
using Check = std::function<void(ModuleRun&, const Answers&, const Answers&)>;

std::string describe(const Fault& fault) {
  return std::string(platform_call_name(fault.call)) + " failing at use " +
         std::to_string(fault.use) + (fault.from_then_on ? " and after" : " alone");
}

void walk_every_point_of_failure(const SetUp& set_up, const Host& host, const Check& check) {
  Answers clean;
  std::array<int, kCallsThatCanFail.size()> uses{};
  {
    ModuleRun run(set_up);
    clean = host(run);
    for (std::size_t i = 0; i < uses.size(); ++i) uses[i] = run.observer.uses(kCallsThatCanFail[i]);
  }
  int points = 0;
  for (std::size_t i = 0; i < uses.size(); ++i) {
    for (int use = 1; use <= uses[i]; ++use) {
      ++points;
      for (const bool from_then_on : {false, true}) {
        const Fault fault{kCallsThatCanFail[i], use, from_then_on, kInjectedError};
        SCOPED_TRACE(describe(fault));
        ModuleRun run(set_up);
        run.observer.inject(fault);
        const Answers answers = host(run);
        // A handle stays open only where closing it failed.
        EXPECT_EQ(run.machine.open_device_count(), run.observer.failures(PlatformCall::kCloseHandle));
        check(run, clean, answers);
      }
    }
  }
  EXPECT_GT(points, 0) << "the host's calls make no system call that can fail";
}

// The calls around a query rather than in it, whose failure changes no
// answer: the thread's error mode read, set and given back, a device closed.
bool failed_around_the_query(const ModuleRun& run) {
  return run.observer.failures(PlatformCall::kCloseHandle) > 0 ||
         run.observer.failures(PlatformCall::kSetThreadErrorMode) > 0 ||
         run.observer.failures(PlatformCall::kGetThreadErrorMode) > 0;
}

// --- drives -----------------------------------------------------------------

void drive_machine(SimulatedMachine& machine) {
  constexpr std::uint64_t kGiB = std::uint64_t{1} << 30;
  machine.thread_error_mode = kHostErrorMode;
  machine.drives['A'] = {.type = 2, .volume_error = kNotReady};  // a floppy drive without a disk
  machine.drives['C'] = {.label = "SYSTEM", .serial = 0x1234ABCD, .total = 100 * kGiB,
                         .free = 25 * kGiB};
  machine.drives['D'] = {.type = 5, .label = "DISC", .file_system = "CDFS", .total = 32768,
                         .free = 28672};
  machine.drives['E'] = {.type = 2, .total = 8, .free = 1};
}

// One line a listed drive: its texts, each followed by "|": letter, type,
// file system, label, serial, total, free, used, used and free percentage.
constexpr int kTypeColumn = 1;
constexpr int kFirstSizeColumn = 5;

Answers list_drives(ModuleRun& run) {
  Answers answers;
  ListDrives();
  answers.last_error = run.machine.last_error;
  const std::int32_t count = GetData();
  answers.lines.push_back("count " + std::to_string(count));
  using Getter = void (*)();
  for (std::int32_t i = 0; i < count; ++i) {
    SetData(i);
    SelectDrive();
    std::string line;
    for (const Getter getter : {GetDriveLetter, GetDriveType, GetDriveFileSystem, GetVolumeLabel,
                                GetVolumeSerial, GetTotalSpace, GetFreeSpace, GetUsedSpace,
                                GetUsedPercent, GetFreePercent}) {
      getter();
      line += std::string(GetFile()) + "|";
    }
    answers.lines.push_back(line);
  }
  return answers;
}

std::string with_column(std::string line, int column, const std::string& text) {
  std::size_t start = 0;
  for (int i = 0; i < column; ++i) start = line.find('|', start) + 1;
  return line.replace(start, line.find('|', start) - start, text);
}

// A drive whose volume does not answer is left out; one whose type cannot be
// determined is listed as DRIVE_UNKNOWN; one whose space cannot be read is
// listed with none. The host's error mode is never lost, and a failing
// error-mode call changes no answer.
void check_drive_list(ModuleRun& run, const Answers& clean, const Answers& answers) {
  std::vector<std::string> expected;
  for (std::size_t i = 1; i < clean.lines.size(); ++i) {
    std::string line = clean.lines[i];
    const std::string root = line.substr(0, 1) + ":\\";
    if (run.observer.failed_on(PlatformCall::kGetVolumeInformation, root)) continue;
    if (run.observer.failed_on(PlatformCall::kGetDriveType, root)) {
      line = with_column(line, kTypeColumn, "DRIVE_UNKNOWN");
    }
    if (run.observer.failed_on(PlatformCall::kGetDiskFreeSpace, root)) {
      for (int column = kFirstSizeColumn; column < kFirstSizeColumn + 3; ++column) {
        line = with_column(line, column, "0 B ");
      }
      for (int column = kFirstSizeColumn + 3; column < kFirstSizeColumn + 5; ++column) {
        line = with_column(line, column, "0");
      }
    }
    expected.push_back(line);
  }
  expected.insert(expected.begin(), "count " + std::to_string(expected.size()));
  EXPECT_EQ(answers.lines, expected);
  if (failed_around_the_query(run)) {
    EXPECT_EQ(answers.last_error, clean.last_error) << "the query's own error stays";
  }

  const bool quieted = run.observer.failures(PlatformCall::kGetThreadErrorMode) == 0 &&
                       !run.observer.failed(PlatformCall::kSetThreadErrorMode, 1);
  for (const auto& mode : run.observer.error_modes_during_volume_reads) {
    EXPECT_EQ(mode, quieted ? std::optional(kHostErrorMode | win32::kSemFailCriticalErrors)
                            : std::nullopt);
  }
  if (!run.observer.failed(PlatformCall::kSetThreadErrorMode, 2)) {
    EXPECT_EQ(run.machine.thread_error_mode, kHostErrorMode);
  }
}

TEST(FaultInjection, ListDrives) {
  walk_every_point_of_failure(drive_machine, list_drives, check_drive_list);
}

// --- disks ------------------------------------------------------------------

constexpr std::uint32_t kInvalidFunction = 1;
constexpr std::uint32_t kAccessDenied = 5;
const std::string kSmart = "\\\\.\\SMARTVSD";
const std::string kPort = "\\\\.\\Scsi0:";
const std::string kDrive = "\\\\.\\PhysicalDrive0";

IdentifySector disk_sector(const std::string& serial, const std::string& model) {
  IdentifySector sector = sector_with_serial(serial);
  put_text(sector, kModelNumberField, model);
  put_word(sector, 0, 0x0040);
  return sector;
}

// A device's answer to one request: the record it leaves and its serial text.
struct Reply {
  IdentifySector record{};
  std::string serial;
};

// One request GetHddInfo may send: to this device, with this control code.
struct Request {
  std::string device;
  std::uint32_t code;
};

struct DiskMachine {
  const char* name;
  std::uint32_t version;
  std::map<std::string, SimulatedDevice> devices;
  // The requests in the order GetHddInfo sends them, each only while the
  // ones before gave no serial text.
  std::vector<Request> requests;
};

// What the device answers to the request, if it answers it.
std::optional<Reply> reply_to(const DiskMachine& disks, const Request& request) {
  const auto found = disks.devices.find(request.device);
  if (found == disks.devices.end()) return std::nullopt;
  const SimulatedDevice& device = found->second;
  const auto identify_reply = [](const std::optional<IdentifySector>& sector) -> std::optional<Reply> {
    if (!sector) return std::nullopt;
    IdentifySector record{};
    std::copy_n(sector->begin(), IdentifyRecord::kSize, record.begin());
    return Reply{record, identify_text(std::span(*sector).subspan(2 * kSerialNumberField.first_word,
                                                                  2 * kSerialNumberField.words))};
  };
  if (request.code == win32::kAtaPassThrough) return identify_reply(device.ata_pass_through);
  if (request.code == win32::kScsiPassThrough) return identify_reply(device.scsi_pass_through);
  if (request.code != win32::kStorageQueryProperty) return identify_reply(device.sector);
  if (!device.storage_descriptor) return std::nullopt;
  const SimulatedStorageDescriptor& descriptor = *device.storage_descriptor;
  return identify_reply(described(descriptor.serial.value_or(""), descriptor.revision.value_or(""),
                                  descriptor.product.value_or("")));
}

SimulatedStorageDescriptor storage_descriptor(const std::string& serial) {
  return {.product = "STORE MODEL", .revision = "1.0", .serial = serial};
}

const std::vector<Request> kNtRequests = {{kPort, win32::kScsiMiniport},
                                          {kDrive, win32::kScsiMiniport},
                                          {kDrive, win32::kAtaPassThrough},
                                          {kDrive, win32::kScsiPassThrough},
                                          {kDrive, win32::kStorageQueryProperty}};

const DiskMachine kDiskMachines[] = {
    {"the port answers",
     kNt61,
     {{kPort, answering(disk_sector("PORT-0", "PORT MODEL"))},
      {kDrive, {.sector = disk_sector("DRIVE-0", "DRIVE MODEL"),
                .ata_pass_through = disk_sector("ATA-0", "ATA MODEL"),
                .storage_descriptor = storage_descriptor("STORE-0")}}},
     kNtRequests},
    {"the port gives a blank serial", kNt61,
     {{kPort, answering(disk_sector("", "BLANK MODEL"))},
      {kDrive, answering(disk_sector("DRIVE-0", "DRIVE MODEL"))}},
     kNtRequests},
    {"only the newer requests answer", kNt61,
     {{kPort, refusing(kInvalidFunction)},
      {kDrive, {.ata_pass_through = disk_sector("ATA-0", "ATA MODEL"),
                .storage_descriptor = storage_descriptor("STORE-0")}}},
     kNtRequests},
    {"nothing answers", kNt61,
     {{kPort, refusing(kInvalidFunction)}, {kDrive, failing_to_open(kAccessDenied)}},
     kNtRequests},
    {"the SMART driver answers", kWin98,
     {{kSmart, answering(disk_sector("SMART-0", "SMART MODEL"))}},
     {{kSmart, win32::kSmartReceiveDriveData}, {kSmart, win32::kSmartReceiveDriveData}}},
};

Answers hdd_info(ModuleRun& run) {
  Answers answers;
  SetData(0);
  GetHddInfo();
  answers.last_error = run.machine.last_error;
  answers.lines = {GetFile(), std::to_string(GetData())};
  return answers;
}

// Each request whose device opened was sent on a handle of its own, which was
// closed (a refused request may be followed by its other form on it); the
// next request came only after the ones before gave no serial text; the text
// result holds the last request's serial, the record what the last answered
// request left (zero when none was), the result slot the last-error code the
// module leaves; and a failing CloseHandle changes no answer.
void check_hdd_info(const DiskMachine& disks, ModuleRun& run, const Answers& clean,
                    const Answers& answers) {
  const std::vector<DeviceOpen>& opens = run.observer.device_opens;
  ASSERT_GE(opens.size(), 1u);
  ASSERT_LE(opens.size(), disks.requests.size());
  std::string serial;
  IdentifySector record{};
  for (std::size_t i = 0; i < opens.size(); ++i) {
    const DeviceOpen& open = opens[i];
    const Request& request = disks.requests[i];
    SCOPED_TRACE("request " + std::to_string(i + 1));
    EXPECT_TRUE(i == 0 || serial.empty()) << "a request after a serial text";
    EXPECT_EQ(open.name, request.device);
    serial.clear();
    if (open.handle == kInvalidDeviceHandle) continue;
    EXPECT_TRUE(open.closed);
    ASSERT_GE(open.requests.size(), 1u);
    bool answered = false;
    for (const DeviceOpen::Request& sent : open.requests) {
      EXPECT_EQ(sent.code, request.code);
      answered = answered || sent.answered;
    }
    if (!answered) continue;
    const std::optional<Reply> reply = reply_to(disks, request);
    ASSERT_TRUE(reply.has_value()) << "answered a request the device has no answer for";
    serial = reply->serial;
    record = reply->record;
  }
  if (serial.empty()) {
    EXPECT_EQ(opens.size(), disks.requests.size()) << "a request left out";
  }
  EXPECT_EQ(answers.lines[0], serial);
  const auto& kept = run.module->disks.record().bytes();
  EXPECT_TRUE(std::equal(kept.begin(), kept.end(), record.begin()));
  EXPECT_EQ(answers.lines[1], std::to_string(static_cast<std::int32_t>(answers.last_error)));
  if (failed_around_the_query(run)) {
    EXPECT_EQ(answers.lines, clean.lines) << "a failing CloseHandle changes no answer";
  }
}

TEST(FaultInjection, GetHddInfo) {
  for (const DiskMachine& disks : kDiskMachines) {
    SCOPED_TRACE(disks.name);
    walk_every_point_of_failure(
        [&](SimulatedMachine& machine) {
          machine.version = disks.version;
          machine.devices.insert(disks.devices.begin(), disks.devices.end());
        },
        hdd_info,
        [&](ModuleRun& run, const Answers& clean, const Answers& answers) {
          check_hdd_info(disks, run, clean, answers);
        });
  }
}

// --- host texts ---------------------------------------------------------------

// A message text the system cannot give leaves the empty text.
TEST(FaultInjection, GetErrorMessage) {
  walk_every_point_of_failure(
      [](SimulatedMachine& machine) {
        machine.messages[kNotReady] = "The device is not ready.\r\n";
        machine.last_error = kNotReady;
      },
      [](ModuleRun& run) {
        SetFile("earlier");
        GetErrorMessage();
        return Answers{{GetFile()}, run.machine.last_error};
      },
      [](ModuleRun& run, const Answers& clean, const Answers& answers) {
        const bool failed = run.observer.failures(PlatformCall::kFormatMessage) > 0;
        EXPECT_EQ(answers.lines, failed ? std::vector<std::string>{""} : clean.lines);
      });
}

// The trigger word's message box failing changes nothing the host reads: the
// text is pushed all the same.
TEST(FaultInjection, SetFileWithTheTriggerWord) {
  walk_every_point_of_failure(
      [](SimulatedMachine&) {},
      [](ModuleRun& run) {
        SetFile("Quex");
        return Answers{{run.module->exchange.text_slot(0), GetFile(), std::to_string(GetData())},
                       run.machine.last_error};
      },
      [](ModuleRun&, const Answers& clean, const Answers& answers) {
        EXPECT_EQ(answers.lines, clean.lines);
      });
}

// Whether or not the hook could be installed or removed, every message of
// the host's window reaches the window's own procedure exactly once.
TEST(FaultInjection, SetParentWindow) {
  walk_every_point_of_failure(
      [](SimulatedMachine&) {},
      [](ModuleRun& run) {
        std::string seen;
        const WindowProcedure own = run.machine.add_procedure(
            [&seen](WindowHandle, std::uint32_t message, std::uintptr_t, std::intptr_t) {
              seen += std::to_string(message) + " ";
              return MessageResult{0};
            });
        const WindowHandle window = run.machine.create_window(own);
        SetParentWindow(window);
        run.machine.send_message(window, 0x400);
        run.machine.destroy_window(window);
        return Answers{{seen}, run.machine.last_error};
      },
      [](ModuleRun&, const Answers& clean, const Answers& answers) {
        EXPECT_EQ(clean.lines, std::vector<std::string>{"1024 2 130 "});
        EXPECT_EQ(answers.lines, clean.lines);
      });
}

}  // namespace
}  // namespace korvex::tests
