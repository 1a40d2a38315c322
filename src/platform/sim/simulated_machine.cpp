#include "platform/sim/simulated_machine.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <utility>

#include "platform/disk_control.h"

namespace korvex {
namespace {

constexpr std::uint32_t kPathNotFound = 3;
constexpr std::uint32_t kBadLength = 24;

// Copies a text into a fixed system buffer the way the A functions do:
// truncated to fit, always NUL-terminated.
void copy_to_buffer(const std::string& text, char* buffer, std::uint32_t size) {
  if (buffer == nullptr || size == 0) return;
  const std::size_t count = std::min<std::size_t>(text.size(), size - 1);
  std::memcpy(buffer, text.data(), count);
  buffer[count] = '\0';
}

// SENDCMDOUTPARAMS with the sector in its buffer, behind the SRB_IO_CONTROL
// header in the shared buffer of the miniport request.
std::uint32_t answer_identify(std::uint32_t code, const IdentifySector& sector, void* output,
                              std::uint32_t output_size) {
  constexpr std::uint32_t kSectorInAnswer = offsetof(SENDCMDOUTPARAMS, bBuffer);
  const std::uint32_t sector_at =
      code == win32::kScsiMiniport ? sizeof(SRB_IO_CONTROL) + kSectorInAnswer : kSectorInAnswer;
  const std::uint32_t count =
      output_size > sector_at ? std::min<std::uint32_t>(512, output_size - sector_at) : 0;
  std::memcpy(static_cast<std::uint8_t*>(output) + sector_at, sector.data(), count);
  return sector_at + count;
}

// The header comes back as it went, with the disk's status register where
// the command was, and the sector where its DataBufferOffset points, as the
// system places it. None when the header does not describe a buffer the
// sector fits in.
std::optional<std::uint32_t> answer_ata_pass_through(const IdentifySector& sector,
                                                     std::uint8_t status, const void* input,
                                                     std::uint32_t input_size, void* output,
                                                     std::uint32_t output_size) {
  ATA_PASS_THROUGH_EX header{};
  if (input_size < sizeof header || output_size < sizeof header) return std::nullopt;
  std::memcpy(&header, input, sizeof header);
  if (header.Length != sizeof header || header.DataTransferLength < sector.size() ||
      header.DataBufferOffset < sizeof header || header.DataBufferOffset > output_size ||
      output_size - header.DataBufferOffset < sector.size()) {
    return std::nullopt;
  }
  header.CurrentTaskFile.bCommandReg = status;
  auto* out = static_cast<std::uint8_t*>(output);
  std::memcpy(out, &header, sizeof header);
  std::memcpy(out + header.DataBufferOffset, sector.data(), sector.size());
  return static_cast<std::uint32_t>(header.DataBufferOffset + sector.size());
}

// ATA PASS-THROUGH(16) or (12) carrying IDENTIFY DEVICE, data in: the header
// comes back with the SCSI status and the bytes moved, the sector where
// DataBufferOffset points. A bridge that knows only the 12-byte command ends
// the 16-byte one in CHECK CONDITION without data. None when the header or
// the command is not one of those.
std::optional<std::uint32_t> answer_scsi_pass_through(const SimulatedDevice& device,
                                                      const void* input, std::uint32_t input_size,
                                                      void* output, std::uint32_t output_size) {
  constexpr std::uint8_t kIdentifyDevice = 0xEC;
  constexpr std::uint8_t kCheckCondition = 2;
  const IdentifySector& sector = *device.scsi_pass_through;
  SCSI_PASS_THROUGH header{};
  if (input_size < sizeof header || output_size < sizeof header) return std::nullopt;
  std::memcpy(&header, input, sizeof header);
  const bool long_form = header.CdbLength == 16 && header.Cdb[0] == 0x85 &&
                         header.Cdb[14] == kIdentifyDevice;
  const bool short_form = header.CdbLength == 12 && header.Cdb[0] == 0xA1 &&
                          header.Cdb[9] == kIdentifyDevice;
  if (header.Length != sizeof header || header.DataIn != win32::kScsiIoctlDataIn ||
      !(long_form || short_form) || header.DataTransferLength < sector.size() ||
      header.DataBufferOffset < sizeof header || header.DataBufferOffset > output_size ||
      output_size - header.DataBufferOffset < sector.size()) {
    return std::nullopt;
  }
  auto* out = static_cast<std::uint8_t*>(output);
  const bool refused = long_form && device.sat12_only;
  header.ScsiStatus = refused ? kCheckCondition : 0;
  header.DataTransferLength = refused ? 0 : static_cast<std::uint32_t>(sector.size());
  if (!refused) std::memcpy(out + header.DataBufferOffset, sector.data(), sector.size());
  std::memcpy(out, &header, sizeof header);
  return static_cast<std::uint32_t>(header.DataBufferOffset + header.DataTransferLength);
}

// The descriptor, then its texts, each NUL-terminated, in the order Windows
// writes them; cut to the output buffer as Windows cuts it.
std::uint32_t answer_storage_descriptor(const SimulatedStorageDescriptor& descriptor,
                                        void* output, std::uint32_t output_size) {
  std::vector<std::uint8_t> answer(sizeof(STORAGE_DEVICE_DESCRIPTOR));
  const auto place = [&](const std::optional<std::string>& text) -> std::uint32_t {
    if (!text) return 0;
    const auto offset = static_cast<std::uint32_t>(answer.size());
    answer.insert(answer.end(), text->begin(), text->end());
    answer.push_back(0);
    return offset;
  };
  STORAGE_DEVICE_DESCRIPTOR header{};
  header.Version = sizeof header;
  header.VendorIdOffset = place(descriptor.vendor);
  header.ProductIdOffset = place(descriptor.product);
  header.ProductRevisionOffset = place(descriptor.revision);
  header.SerialNumberOffset = place(descriptor.serial);
  header.BusType = descriptor.bus_type;
  header.Size = static_cast<std::uint32_t>(answer.size());
  std::memcpy(answer.data(), &header, sizeof header);
  const auto count = std::min<std::uint32_t>(header.Size, output_size);
  std::memcpy(output, answer.data(), count);
  return count;
}

// An NVMe identify request in the query's AdditionalParameters, answered as
// Windows answers it: the descriptor with the request as it came, the data
// where its offset points. None unless it asks for NVMe identify data with
// these values and the output has room for them.
std::optional<std::uint32_t> answer_nvme_identify(const NvmeIdentifyData& data,
                                                  std::uint32_t request_value,
                                                  std::uint32_t request_sub_value,
                                                  const void* input, std::uint32_t input_size,
                                                  void* output, std::uint32_t output_size) {
  constexpr std::size_t kRequestAt = offsetof(STORAGE_PROPERTY_QUERY, AdditionalParameters);
  constexpr std::size_t kDataFrom = offsetof(STORAGE_PROTOCOL_DATA_DESCRIPTOR, ProtocolSpecificData);
  static_assert(kRequestAt == kDataFrom);
  STORAGE_PROTOCOL_SPECIFIC_DATA request{};
  if (input_size < kRequestAt + sizeof request) return std::nullopt;
  std::memcpy(&request, static_cast<const std::uint8_t*>(input) + kRequestAt, sizeof request);
  const std::uint64_t data_at = std::uint64_t{kDataFrom} + request.ProtocolDataOffset;
  if (request.ProtocolType != win32::kProtocolTypeNvme ||
      request.DataType != win32::kNvmeDataTypeIdentify ||
      request.ProtocolDataRequestValue != request_value ||
      request.ProtocolDataRequestSubValue != request_sub_value ||
      request.ProtocolDataOffset < sizeof request || request.ProtocolDataLength < data.size() ||
      data_at + data.size() > output_size) {
    return std::nullopt;
  }
  request.ProtocolDataLength = static_cast<std::uint32_t>(data.size());
  const STORAGE_PROTOCOL_DATA_DESCRIPTOR answer{.Version = sizeof answer,
                                                .Size = sizeof answer,
                                                .ProtocolSpecificData = request};
  auto* out = static_cast<std::uint8_t*>(output);
  std::memcpy(out + data_at, data.data(), data.size());
  std::memcpy(out, &answer, sizeof answer);
  return static_cast<std::uint32_t>(data_at + data.size());
}

NvmeIdentifyData namespace_data(std::uint64_t size) {
  NvmeIdentifyData data{};
  for (std::size_t i = 0; i < 8; ++i) data[i] = static_cast<std::uint8_t>(size >> 8 * i);
  return data;
}

// The storage property query: the device property, or an NVMe disk's
// identify controller (an adapter property) or namespace 1 (a device
// property). known: whether the device has an answer to what is asked.
std::optional<std::uint32_t> answer_storage_query(const SimulatedDevice& device, bool& known,
                                                  const void* input, std::uint32_t input_size,
                                                  void* output, std::uint32_t output_size) {
  STORAGE_PROPERTY_QUERY query{};
  constexpr std::size_t kQueryUsed = offsetof(STORAGE_PROPERTY_QUERY, AdditionalParameters);
  known = true;
  if (input_size < kQueryUsed) return std::nullopt;
  std::memcpy(&query, input, kQueryUsed);
  if (query.QueryType != win32::kPropertyStandardQuery) return std::nullopt;
  switch (query.PropertyId) {
    case win32::kStorageDeviceProperty:
      known = device.storage_descriptor.has_value();
      if (!known) return std::nullopt;
      return answer_storage_descriptor(*device.storage_descriptor, output, output_size);
    case win32::kStorageAdapterProtocolSpecificProperty:
      known = device.nvme_identify_controller.has_value();
      if (!known) return std::nullopt;
      return answer_nvme_identify(*device.nvme_identify_controller, 1, 0, input, input_size,
                                  output, output_size);
    case win32::kStorageDeviceProtocolSpecificProperty:
      known = device.nvme_namespace_size.has_value();
      if (!known) return std::nullopt;
      return answer_nvme_identify(namespace_data(*device.nvme_namespace_size), 0, 1, input,
                                  input_size, output, output_size);
  }
  known = false;
  return std::nullopt;
}

}  // namespace

NvmeIdentifyData nvme_controller_data(std::string_view serial, std::string_view model,
                                      std::string_view firmware) {
  NvmeIdentifyData data{};
  const auto put = [&](std::size_t first, std::size_t size, std::string_view text) {
    for (std::size_t i = 0; i < size; ++i) {
      data[first + i] = i < text.size() ? static_cast<std::uint8_t>(text[i]) : ' ';
    }
  };
  put(4, 20, serial);
  put(24, 40, model);
  put(64, 8, firmware);
  return data;
}

const SimulatedDrive* SimulatedMachine::drive_at(const char* root) const {
  if (root == nullptr || std::strlen(root) != 3 || root[1] != ':' || root[2] != '\\') return nullptr;
  const auto found = drives.find(static_cast<char>(std::toupper(static_cast<unsigned char>(root[0]))));
  return found == drives.end() ? nullptr : &found->second;
}

std::uint32_t SimulatedMachine::get_drive_type(const char* root) {
  const SimulatedDrive* drive = drive_at(root);
  return drive == nullptr ? win32::kDriveNoRootDir : drive->type;
}

bool SimulatedMachine::get_volume_information(const char* root, char* label,
                                              std::uint32_t label_size, std::uint32_t* serial,
                                              char* file_system, std::uint32_t file_system_size) {
  const SimulatedDrive* drive = drive_at(root);
  if (drive == nullptr || drive->volume_error) {
    last_error = drive == nullptr ? kPathNotFound : *drive->volume_error;
    return false;
  }
  // Windows refuses a label longer than the buffer rather than cutting it.
  if (label != nullptr && drive->label.size() >= label_size) {
    last_error = kBadLength;
    return false;
  }
  copy_to_buffer(drive->label, label, label_size);
  copy_to_buffer(drive->file_system, file_system, file_system_size);
  if (serial != nullptr) *serial = drive->serial;
  return true;
}

bool SimulatedMachine::get_disk_free_space(const char* root, std::uint64_t* caller_free,
                                           std::uint64_t* total) {
  const SimulatedDrive* drive = drive_at(root);
  if (drive == nullptr || drive->space_error) {
    last_error = drive == nullptr ? kPathNotFound : *drive->space_error;
    return false;
  }
  if (caller_free != nullptr) *caller_free = drive->free;
  if (total != nullptr) *total = drive->total;
  return true;
}

bool SimulatedMachine::get_thread_error_mode(std::uint32_t* mode) {
  if (!has_thread_error_mode) return false;
  if (mode != nullptr) *mode = thread_error_mode;
  return true;
}

bool SimulatedMachine::set_thread_error_mode(std::uint32_t mode, std::uint32_t* previous) {
  if (!has_thread_error_mode) return false;
  if (previous != nullptr) *previous = thread_error_mode;
  thread_error_mode = mode;
  return true;
}

std::uint32_t SimulatedMachine::set_error_mode(std::uint32_t mode) {
  return std::exchange(process_error_mode, mode);
}

std::uint32_t SimulatedMachine::get_version() { return version; }

DeviceHandle SimulatedMachine::create_file(const char* name, std::uint32_t access, std::uint32_t,
                                           std::uint32_t) {
  const std::string device = name == nullptr ? "" : name;
  const auto found = devices.find(device);
  if (found == devices.end() || found->second.open_error) {
    last_error = found == devices.end() ? kFileNotFound : *found->second.open_error;
    return kInvalidDeviceHandle;
  }
  if (!elevated && access != 0) {
    last_error = kAccessDenied;
    return kInvalidDeviceHandle;
  }
  const DeviceHandle handle = next_device_handle_++;
  open_devices_[handle] = device;
  return handle;
}

// Each request is answered from the device's answer to it, at the offsets
// its layout gives; a request the device has no answer for is an invalid
// function to it, one whose input is malformed an invalid parameter.
bool SimulatedMachine::device_io_control(DeviceHandle device, std::uint32_t code,
                                         const void* input, std::uint32_t input_size,
                                         void* output, std::uint32_t output_size,
                                         std::uint32_t* returned) {
  const auto open = open_devices_.find(device);
  if (open == open_devices_.end()) {
    last_error = kInvalidHandle;
    return false;
  }
  const SimulatedDevice& simulated = devices.at(open->second);
  if (simulated.ioctl_error) {
    last_error = *simulated.ioctl_error;
    return false;
  }
  bool known = false;
  std::optional<std::uint32_t> count;  // the bytes returned
  switch (code) {
    case win32::kSmartReceiveDriveData:
    case win32::kScsiMiniport:
      known = simulated.sector.has_value();
      if (known) count = answer_identify(code, *simulated.sector, output, output_size);
      break;
    case win32::kAtaPassThrough:
      known = simulated.ata_pass_through.has_value();
      if (known) {
        count = answer_ata_pass_through(*simulated.ata_pass_through, simulated.ata_status, input,
                                        input_size, output, output_size);
      }
      break;
    case win32::kScsiPassThrough:
      known = simulated.scsi_pass_through.has_value();
      if (known) count = answer_scsi_pass_through(simulated, input, input_size, output, output_size);
      break;
    case win32::kStorageQueryProperty:
      count = answer_storage_query(simulated, known, input, input_size, output, output_size);
      break;
  }
  if (!count) {
    last_error = known ? kInvalidParameter : kInvalidFunction;
    return false;
  }
  if (returned != nullptr) *returned = *count;
  return true;
}

void SimulatedMachine::close_handle(DeviceHandle device) {
  if (open_devices_.erase(device) == 0) last_error = kInvalidHandle;
}

std::uint32_t SimulatedMachine::get_last_error() { return last_error; }

void SimulatedMachine::set_last_error(std::uint32_t code) { last_error = code; }

std::uint32_t SimulatedMachine::format_message(std::uint32_t code, char* buffer,
                                               std::uint32_t size) {
  const auto found = messages.find(code);
  if (found == messages.end() || found->second.size() >= size) {
    last_error = kMessageNotFound;
    return 0;
  }
  copy_to_buffer(found->second, buffer, size);
  return static_cast<std::uint32_t>(found->second.size());
}

WindowProcedure SimulatedMachine::add_procedure(SimulatedProcedure procedure) {
  procedures_.push_back(std::move(procedure));
  return kFirstProcedure + procedures_.size() - 1;
}

WindowHandle SimulatedMachine::create_window(WindowProcedure procedure, TextForm form) {
  const WindowHandle window = next_window_++;
  windows_[window] = {procedure, form, {}};
  return window;
}

MessageResult SimulatedMachine::send_message(WindowHandle window, std::uint32_t message,
                                             std::uintptr_t wparam, std::intptr_t lparam) {
  const auto found = windows_.find(window);
  if (found == windows_.end()) return 0;
  return dispatch(found->second.procedure, window, message, wparam, lparam);
}

void SimulatedMachine::destroy_window(WindowHandle window) {
  send_message(window, win32::kWmDestroy);
  send_message(window, win32::kWmNcDestroy);
  windows_.erase(window);
}

SimulatedMachine::SimulatedWindow* SimulatedMachine::window_at(WindowHandle window) {
  const auto found = windows_.find(window);
  if (found == windows_.end()) {
    last_error = kInvalidWindowHandle;
    return nullptr;
  }
  return &found->second;
}

WindowProcedure SimulatedMachine::set_procedure(WindowHandle window, WindowProcedure procedure,
                                                TextForm form) {
  SimulatedWindow* found = window_at(window);
  if (found == nullptr) return 0;
  found->form = form;
  return std::exchange(found->procedure, procedure);
}

WindowProcedure SimulatedMachine::set_window_procedure(WindowHandle window,
                                                       WindowProcedure procedure) {
  return set_procedure(window, procedure, TextForm::kAnsi);
}

WindowProcedure SimulatedMachine::get_window_procedure(WindowHandle window) {
  const SimulatedWindow* found = window_at(window);
  return found == nullptr ? 0 : found->procedure;
}

bool SimulatedMachine::is_window_unicode(WindowHandle window) {
  const SimulatedWindow* found = window_at(window);
  return found != nullptr && found->form == TextForm::kWide;
}

WindowProcedure SimulatedMachine::set_window_procedure_wide(WindowHandle window,
                                                            WindowProcedure procedure) {
  return set_procedure(window, procedure, TextForm::kWide);
}

WindowProcedure SimulatedMachine::get_window_procedure_wide(WindowHandle window) {
  return get_window_procedure(window);
}

bool SimulatedMachine::set_window_property(WindowHandle window, const char* name,
                                           std::uintptr_t value) {
  SimulatedWindow* found = window_at(window);
  if (found == nullptr) return false;
  found->properties[name] = value;
  return true;
}

std::uintptr_t SimulatedMachine::get_window_property(WindowHandle window, const char* name) {
  const SimulatedWindow* found = window_at(window);
  if (found == nullptr) return 0;
  const auto property = found->properties.find(name);
  return property == found->properties.end() ? 0 : property->second;
}

void SimulatedMachine::remove_window_property(WindowHandle window, const char* name) {
  if (SimulatedWindow* found = window_at(window)) found->properties.erase(name);
}

MessageResult SimulatedMachine::call_window_procedure(WindowProcedure procedure,
                                                      WindowHandle window, std::uint32_t message,
                                                      std::uintptr_t wparam, std::intptr_t lparam) {
  return dispatch(procedure, window, message, wparam, lparam);
}

// The machine carries no texts in its messages, so both forms of the call
// reach a procedure alike.
MessageResult SimulatedMachine::call_window_procedure_wide(WindowProcedure procedure,
                                                           WindowHandle window,
                                                           std::uint32_t message,
                                                           std::uintptr_t wparam,
                                                           std::intptr_t lparam) {
  return dispatch(procedure, window, message, wparam, lparam);
}

MessageResult SimulatedMachine::dispatch(WindowProcedure procedure, WindowHandle window,
                                         std::uint32_t message, std::uintptr_t wparam,
                                         std::intptr_t lparam) {
  if (procedure == kHookProcedure || procedure == kHookProcedureWide) {
    const TextForm form = procedure == kHookProcedure ? TextForm::kAnsi : TextForm::kWide;
    return hook_handler_ == nullptr
               ? 0
               : hook_handler_->handle_message(form, window, message, wparam, lparam);
  }
  const WindowProcedure index = procedure - kFirstProcedure;
  if (procedure < kFirstProcedure || index >= procedures_.size()) return 0;
  return procedures_[index](window, message, wparam, lparam);
}

WindowProcedure SimulatedMachine::hook_procedure() { return kHookProcedure; }

WindowProcedure SimulatedMachine::hook_procedure_wide() { return kHookProcedureWide; }

void SimulatedMachine::set_hook_handler(WindowMessageHandler* handler) { hook_handler_ = handler; }

void SimulatedMachine::pin_module() { module_pinned = true; }

void SimulatedMachine::message_box(const char*, const char*, std::uint32_t) {}

}  // namespace korvex
