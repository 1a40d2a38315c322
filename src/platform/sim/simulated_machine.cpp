#include "platform/sim/simulated_machine.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <utility>

#include "platform/disk_control.h"

namespace korvex {
namespace {

constexpr std::uint32_t kPathNotFound = 3;

// Copies a text into a fixed system buffer the way the A functions do:
// truncated to fit, always NUL-terminated.
void copy_to_buffer(const std::string& text, char* buffer, std::uint32_t size) {
  if (buffer == nullptr || size == 0) return;
  const std::size_t count = std::min<std::size_t>(text.size(), size - 1);
  std::memcpy(buffer, text.data(), count);
  buffer[count] = '\0';
}

}  // namespace

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

bool SimulatedMachine::set_thread_error_mode(std::uint32_t mode, std::uint32_t* previous) {
  if (!has_thread_error_mode) return false;
  if (previous != nullptr) *previous = thread_error_mode;
  thread_error_mode = mode;
  return true;
}

std::uint32_t SimulatedMachine::get_version() { return version; }

DeviceHandle SimulatedMachine::create_file(const char* name, std::uint32_t, std::uint32_t,
                                           std::uint32_t) {
  const std::string device = name == nullptr ? "" : name;
  const auto found = devices.find(device);
  if (found == devices.end() || found->second.open_error) {
    last_error = found == devices.end() ? kFileNotFound : *found->second.open_error;
    return kInvalidDeviceHandle;
  }
  const DeviceHandle handle = next_device_handle_++;
  open_devices_[handle] = device;
  return handle;
}

// Answers an identify request the way both disk-control interfaces lay out
// their answer: SENDCMDOUTPARAMS with the sector in its buffer, behind the
// SRB_IO_CONTROL header in the shared buffer of the miniport request.
bool SimulatedMachine::device_io_control(DeviceHandle device, std::uint32_t code, const void*,
                                         std::uint32_t, void* output, std::uint32_t output_size,
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
  constexpr std::uint32_t kSectorInAnswer = offsetof(SENDCMDOUTPARAMS, bBuffer);
  const std::uint32_t sector_at =
      code == win32::kScsiMiniport ? sizeof(SRB_IO_CONTROL) + kSectorInAnswer : kSectorInAnswer;
  auto* out = static_cast<std::uint8_t*>(output);
  const std::uint32_t count =
      output_size > sector_at ? std::min<std::uint32_t>(512, output_size - sector_at) : 0;
  std::memcpy(out + sector_at, simulated.sector.data(), count);
  if (returned != nullptr) *returned = sector_at + count;
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

WindowHandle SimulatedMachine::create_window(WindowProcedure procedure) {
  const WindowHandle window = next_window_++;
  windows_[window] = {procedure, {}};
  return window;
}

MessageResult SimulatedMachine::send_message(WindowHandle window, std::uint32_t message,
                                             std::uintptr_t wparam, std::intptr_t lparam) {
  const auto found = windows_.find(window);
  if (found == windows_.end()) return 0;
  return call_window_procedure(found->second.procedure, window, message, wparam, lparam);
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

WindowProcedure SimulatedMachine::set_window_procedure(WindowHandle window,
                                                       WindowProcedure procedure) {
  SimulatedWindow* found = window_at(window);
  if (found == nullptr) return 0;
  return std::exchange(found->procedure, procedure);
}

WindowProcedure SimulatedMachine::get_window_procedure(WindowHandle window) {
  const SimulatedWindow* found = window_at(window);
  return found == nullptr ? 0 : found->procedure;
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
  if (procedure == kHookProcedure) {
    return hook_handler_ == nullptr ? 0
                                    : hook_handler_->handle_message(window, message, wparam, lparam);
  }
  const WindowProcedure index = procedure - kFirstProcedure;
  if (procedure < kFirstProcedure || index >= procedures_.size()) return 0;
  return procedures_[index](window, message, wparam, lparam);
}

WindowProcedure SimulatedMachine::hook_procedure() { return kHookProcedure; }

void SimulatedMachine::set_hook_handler(WindowMessageHandler* handler) { hook_handler_ = handler; }

void SimulatedMachine::pin_module() { module_pinned = true; }

void SimulatedMachine::message_box(const char*, const char*, std::uint32_t) {}

}  // namespace korvex
