// A host's stream of export calls, with arguments from the fuzz bytes, on a
// machine made from them: drives, disk devices with their identify sectors and
// storage descriptors, message texts, two windows, the system version, error
// mode and user rights, and at times one system call that fails.
// After every call: GetFile gives the text result, NUL-terminated; a result
// cell changed only if the export writes it; no device handle is left open
// but one whose closing failed; the thread's error mode is the host's again.
// At unload every window still there has its own procedure back.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_bytes.h"
#include "fuzz_check.h"
#include "module/linked_exports.h"
#include "module/export_table.h"
#include "module/exports.h"
#include "module/module.h"
#include "module_caller.h"
#include "observing_platform.h"
#include "platform/sim/simulated_machine.h"

namespace korvex::fuzz {
namespace {

using host_tool::Argument;

// The device numbers the stream pushes most, and the devices named after them.
constexpr std::int32_t kDeviceNumbers[] = {0, 1, -1, std::numeric_limits<std::int32_t>::min(),
                                           std::numeric_limits<std::int32_t>::max()};

std::vector<std::string> device_names() {
  std::vector<std::string> names = {"\\\\.\\SMARTVSD"};
  for (const std::int32_t number : kDeviceNumbers) {
    names.push_back("\\\\.\\Scsi" + std::to_string(number) + ":");
    names.push_back("\\\\.\\PhysicalDrive" + std::to_string(number));
  }
  return names;
}

void add_drives(FuzzBytes& in, SimulatedMachine& machine) {
  for (int count = in.in_range(0, 6); count > 0; --count) {
    SimulatedDrive drive;
    const char letter = static_cast<char>('A' + in.in_range(0, 25));
    drive.type = in.boolean() ? in.in_range<std::uint32_t>(0, 7)
                                  : in.integer<std::uint32_t>();
    drive.label = in.text(300);
    drive.file_system = in.text(300);
    drive.serial = in.integer<std::uint32_t>();
    drive.total = in.integer<std::uint64_t>();
    drive.free = in.boolean() ? in.in_range<std::uint64_t>(0, drive.total)
                                  : in.integer<std::uint64_t>();
    if (in.boolean()) drive.volume_error = in.integer<std::uint32_t>();
    if (in.boolean()) drive.space_error = in.integer<std::uint32_t>();
    machine.drives[letter] = drive;
  }
}

IdentifySector identify_sector(FuzzBytes& in) {
  IdentifySector sector{};
  const std::vector<std::uint8_t> bytes = in.bytes(sector.size());
  std::copy(bytes.begin(), bytes.end(), sector.begin());
  return sector;
}

NvmeIdentifyData nvme_identify_data(FuzzBytes& in) {
  NvmeIdentifyData data{};
  const std::vector<std::uint8_t> bytes = in.bytes(data.size());
  std::copy(bytes.begin(), bytes.end(), data.begin());
  return data;
}

SimulatedStorageDescriptor storage_descriptor(FuzzBytes& in) {
  SimulatedStorageDescriptor descriptor;
  for (std::optional<std::string>* text :
       {&descriptor.vendor, &descriptor.product, &descriptor.revision, &descriptor.serial}) {
    if (in.boolean()) *text = in.text(80);
  }
  descriptor.bus_type = in.integer<std::uint32_t>();
  return descriptor;
}

void add_devices(FuzzBytes& in, SimulatedMachine& machine) {
  const std::vector<std::string> names = device_names();
  for (int count = in.in_range(0, 4); count > 0; --count) {
    SimulatedDevice device;
    switch (in.in_range(0, 2)) {
      case 0: device.open_error = in.integer<std::uint32_t>(); break;
      case 1: device.ioctl_error = in.integer<std::uint32_t>(); break;
      default:
        if (in.boolean()) device.sector = identify_sector(in);
        if (in.boolean()) device.ata_pass_through = identify_sector(in);
        if (in.boolean()) device.storage_descriptor = storage_descriptor(in);
        if (in.boolean()) device.ata_status = in.integer<std::uint8_t>();
        if (in.boolean()) device.scsi_pass_through = identify_sector(in);
        device.sat12_only = in.boolean();
        if (in.boolean()) device.nvme_identify_controller = nvme_identify_data(in);
        if (in.boolean()) device.nvme_namespace_size = in.integer<std::uint64_t>();
    }
    machine.devices[names[in.in_range<std::size_t>(0, names.size() - 1)]] = device;
  }
}

void add_messages(FuzzBytes& in, SimulatedMachine& machine) {
  for (int count = in.in_range(0, 3); count > 0; --count) {
    const std::uint32_t code = in.boolean() ? in.in_range<std::uint32_t>(0, 30)
                                                : in.integer<std::uint32_t>();
    machine.messages[code] = in.text(300);
  }
}

void set_up_system(FuzzBytes& in, SimulatedMachine& machine) {
  // Windows 95, 98, ME, NT 4, 2000, XP, Vista and 7, or any value at all.
  constexpr std::uint32_t kVersions[] = {0xC0000004, 0xC0000A04, 0xC0005A04, 0x05650004,
                                         0x08930005, 0x0A280105, 0x17700006, 0x1DB10106};
  machine.version = in.boolean() ? in.pick(kVersions)
                                     : in.integer<std::uint32_t>();
  machine.last_error = in.integer<std::uint32_t>();
  machine.elevated = in.boolean();
  machine.has_thread_error_mode = in.boolean();
  machine.thread_error_mode = in.integer<std::uint32_t>();
}

void add_fault(FuzzBytes& in, ObservingPlatform& faults) {
  if (!in.boolean()) return;
  faults.inject({kCallsThatCanFail[in.in_range<std::size_t>(0, kCallsThatCanFail.size() - 1)],
                 in.in_range(1, 30), in.boolean(),
                 in.integer<std::uint32_t>()});
}

Argument integer(std::int32_t value) { return {Argument::Kind::kInteger, value, {}}; }

std::int32_t pushed_integer(FuzzBytes& in) {
  if (in.boolean()) return in.in_range(-2, 30);
  return in.boolean() ? in.pick(kDeviceNumbers) : in.integer<std::int32_t>();
}

Argument pushed_text(FuzzBytes& in) {
  if (in.boolean()) return {Argument::Kind::kNull, 0, {}};
  constexpr const char* kWords[] = {"Quex", "ID_OnEnum", ""};
  return {Argument::Kind::kText, 0,
          in.boolean() ? in.pick(kWords) : in.text(300)};
}

std::vector<Argument> arguments_for(const ExportEntry& entry, FuzzBytes& in,
                                    const std::vector<WindowHandle>& windows) {
  switch (entry.arguments) {
    case Arguments::kNone: return {};
    case Arguments::kInteger: return {integer(pushed_integer(in))};
    case Arguments::kText: return {pushed_text(in)};
    case Arguments::kWindow:
      return {integer(in.boolean()
                          ? static_cast<std::int32_t>(windows[in.in_range(0, 1)])
                          : in.integer<std::int32_t>())};
    case Arguments::kFiveIntegers: {
      std::vector<Argument> five;
      for (int i = 0; i < 5; ++i) five.push_back(integer(in.integer<std::int32_t>()));
      return five;
    }
  }
  return {};
}

// The result cells each export may write.
struct CellsWritten {
  bool result = false;
  bool text = false;
};

CellsWritten cells_written(std::string_view name) {
  constexpr std::string_view kNumberGetters[] = {"GetHddGenConfig",     "GetHddNumCyls",
                                                 "GetHddNumHeads",      "GetHddBytesPerTrack",
                                                 "GetHddBytesPerSector", "GetHddSectorsPerTrack"};
  constexpr std::string_view kDriveGetters[] = {
      "GetDriveLetter", "GetDriveFileSystem", "GetVolumeLabel", "GetVolumeSerial",
      "GetDriveType",   "GetTotalSpace",      "GetFreeSpace",   "GetUsedSpace",
      "GetUsedPercent", "GetFreePercent"};
  const auto listed = [&](const auto& names) {
    return std::find(std::begin(names), std::end(names), name) != std::end(names);
  };
  if (name == "ListDrives") return {true, false};
  if (name == "GetHddInfo") return {true, true};
  if (listed(kNumberGetters)) return {true, false};
  if (name.starts_with("GetHdd") || listed(kDriveGetters) || name == "GetErrorMessage") {
    return {false, true};
  }
  return {};
}

bool window_call_failed(const ObservingPlatform& faults) {
  return faults.failures(PlatformCall::kSetWindowProcedure) > 0 ||
         faults.failures(PlatformCall::kGetWindowProcedure) > 0;
}

bool error_mode_call_failed(const ObservingPlatform& faults) {
  return faults.failures(PlatformCall::kGetThreadErrorMode) > 0 ||
         faults.failures(PlatformCall::kSetThreadErrorMode) > 0;
}

void check_after_call(const ExportEntry& entry, const Module& module, const SimulatedMachine& machine,
                      const ObservingPlatform& faults, std::int32_t result_before,
                      const std::string& text_before, std::uint32_t host_error_mode) {
  const char* file = GetFile();
  const std::string& text = module.exchange.text_result();
  require(file != nullptr, "GetFile never gives null");
  require(std::memcmp(file, text.data(), text.size()) == 0 && file[text.size()] == '\0',
          "GetFile gives the text result, NUL-terminated");
  const CellsWritten written = cells_written(entry.name);
  require(written.result || module.exchange.result() == result_before,
          "only an export that writes the result slot changes it");
  require(written.text || text == text_before,
          "only an export that writes the text result changes it");
  if (entry.name == "GetHddInfo") {
    require(module.exchange.result() == static_cast<std::int32_t>(machine.last_error),
            "GetHddInfo reports the last-error code");
  }
  require(machine.open_device_count() == faults.failures(PlatformCall::kCloseHandle),
          "no device handle is left open");
  require(error_mode_call_failed(faults) || machine.thread_error_mode == host_error_mode,
          "the thread has the host's error mode");
}

}  // namespace
}  // namespace korvex::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace korvex;
  using fuzz::require;
  fuzz::FuzzBytes in(data, size);
  SimulatedMachine machine;
  fuzz::set_up_system(in, machine);
  fuzz::add_drives(in, machine);
  fuzz::add_devices(in, machine);
  fuzz::add_messages(in, machine);
  const auto quiet_procedure = machine.add_procedure(
      [](WindowHandle, std::uint32_t, std::uintptr_t, std::intptr_t) { return MessageResult{0}; });
  std::vector<WindowHandle> windows = {machine.create_window(quiet_procedure),
                                       machine.create_window(quiet_procedure)};
  ObservingPlatform faults(machine);
  fuzz::add_fault(in, faults);
  const std::uint32_t host_error_mode = machine.thread_error_mode;

  load_module(faults);
  const std::size_t kHostActions = 2;  // destroy a window, send a message to one
  for (int calls = 0; calls < 64 && !in.empty(); ++calls) {
    const std::size_t action = in.in_range<std::size_t>(0, kExports.size() + kHostActions - 1);
    const WindowHandle window = windows[in.in_range(0, 1)];
    if (action == kExports.size()) {
      machine.destroy_window(window);
      continue;
    }
    if (action == kExports.size() + 1) {
      machine.send_message(window, in.integer<std::uint32_t>());
      continue;
    }
    const ExportEntry& entry = kExports[action];
    const std::vector<host_tool::Argument> arguments = fuzz::arguments_for(entry, in, windows);
    const Module& module = *loaded_module();
    const std::int32_t result_before = module.exchange.result();
    const std::string text_before = module.exchange.text_result();
    host_tool::call_export(entry, linked_export(entry.name), arguments);
    fuzz::check_after_call(entry, module, machine, faults, result_before, text_before,
                           host_error_mode);
  }
  unload_module();
  if (!fuzz::window_call_failed(faults)) {
    for (const WindowHandle window : windows) {
      // A destroyed window has no procedure: 0.
      require(machine.get_window_procedure(window) != machine.hook_procedure(),
              "at unload every window has its own procedure back");
    }
  }
  return 0;
}
