// A platform that forwards every call to a target and records what the
// module asked of the system, for tests to inspect: how often it read the
// version, each device it opened with the requests sent on the handle and
// whether they were answered, the message boxes it showed, and the thread
// error mode it had set whenever it read a volume.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/platform_wrapper.h"

namespace korvex {

// One CreateFileA and the DeviceIoControl requests sent on its handle.
struct DeviceOpen {
  std::string name;
  std::uint32_t access = 0;
  std::uint32_t share = 0;
  std::uint32_t disposition = 0;
  DeviceHandle handle = kInvalidDeviceHandle;  // as CreateFileA returned it
  bool closed = false;
  struct Request {
    std::uint32_t code;
    std::vector<std::uint8_t> input;
    std::uint32_t output_size;
    bool answered = false;  // DeviceIoControl succeeded
  };
  std::vector<Request> requests;
};

struct MessageBoxShown {
  std::string text;
  std::optional<std::string> caption;
  std::uint32_t style = 0;
};

class RecordingPlatform final : public PlatformWrapper {
 public:
  using PlatformWrapper::PlatformWrapper;

  int version_reads = 0;
  std::vector<DeviceOpen> device_opens;
  std::vector<MessageBoxShown> message_boxes;
  // For each volume read, the mode the module's last successful
  // SetThreadErrorMode set; none while it has set none.
  std::vector<std::optional<std::uint32_t>> error_modes_during_volume_reads;

  bool get_volume_information(const char* root, char* label, std::uint32_t label_size,
                              std::uint32_t* serial, char* file_system,
                              std::uint32_t file_system_size) override;
  bool set_thread_error_mode(std::uint32_t mode, std::uint32_t* previous) override;
  std::uint32_t get_version() override;
  DeviceHandle create_file(const char* name, std::uint32_t access, std::uint32_t share,
                           std::uint32_t disposition) override;
  bool device_io_control(DeviceHandle device, std::uint32_t code, const void* input,
                         std::uint32_t input_size, void* output, std::uint32_t output_size,
                         std::uint32_t* returned) override;
  void close_handle(DeviceHandle device) override;
  void message_box(const char* text, const char* caption, std::uint32_t style) override;

 private:
  // The open, not yet closed, that holds this handle; nullptr for none.
  DeviceOpen* open_holding(DeviceHandle device);

  std::optional<std::uint32_t> error_mode_;
};

}  // namespace korvex
