#include "platform/sim/recording_platform.h"

namespace korvex {

bool RecordingPlatform::get_volume_information(const char* root, char* label,
                                               std::uint32_t label_size, std::uint32_t* serial,
                                               char* file_system,
                                               std::uint32_t file_system_size) {
  error_modes_during_volume_reads.push_back(error_mode_);
  return PlatformWrapper::get_volume_information(root, label, label_size, serial, file_system,
                                                 file_system_size);
}

bool RecordingPlatform::set_thread_error_mode(std::uint32_t mode, std::uint32_t* previous) {
  const bool changed = PlatformWrapper::set_thread_error_mode(mode, previous);
  if (changed) error_mode_ = mode;
  return changed;
}

std::uint32_t RecordingPlatform::get_version() {
  ++version_reads;
  return PlatformWrapper::get_version();
}

DeviceHandle RecordingPlatform::create_file(const char* name, std::uint32_t access,
                                            std::uint32_t share, std::uint32_t disposition) {
  const DeviceHandle handle = PlatformWrapper::create_file(name, access, share, disposition);
  device_opens.push_back({name == nullptr ? "" : name, access, share, disposition, handle, false, {}});
  return handle;
}

bool RecordingPlatform::device_io_control(DeviceHandle device, std::uint32_t code,
                                          const void* input, std::uint32_t input_size,
                                          void* output, std::uint32_t output_size,
                                          std::uint32_t* returned) {
  DeviceOpen* open = open_holding(device);
  if (open != nullptr) {
    const auto* bytes = static_cast<const std::uint8_t*>(input);
    open->requests.push_back({code, std::vector<std::uint8_t>(bytes, bytes + input_size), output_size});
  }
  const bool answered = PlatformWrapper::device_io_control(device, code, input, input_size, output,
                                                           output_size, returned);
  if (open != nullptr) open->requests.back().answered = answered;
  return answered;
}

void RecordingPlatform::close_handle(DeviceHandle device) {
  if (DeviceOpen* open = open_holding(device)) open->closed = true;
  PlatformWrapper::close_handle(device);
}

void RecordingPlatform::message_box(const char* text, const char* caption, std::uint32_t style) {
  message_boxes.push_back({text == nullptr ? "" : text,
                           caption == nullptr ? std::nullopt : std::optional<std::string>(caption),
                           style});
  PlatformWrapper::message_box(text, caption, style);
}

DeviceOpen* RecordingPlatform::open_holding(DeviceHandle device) {
  if (device == kInvalidDeviceHandle) return nullptr;
  for (DeviceOpen& open : device_opens) {
    if (open.handle == device && !open.closed) return &open;
  }
  return nullptr;
}

}  // namespace korvex
