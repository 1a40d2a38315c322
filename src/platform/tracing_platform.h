// A platform that writes every call it forwards, with its arguments, result
// and the last-error code it leaves, one line each: "trace: " then the call.
#pragma once

#include <ostream>
#include <string>

#include "platform/platform_wrapper.h"

namespace korvex {

class TracingPlatform final : public PlatformWrapper {
 public:
  TracingPlatform(Platform& target, std::ostream& out) : PlatformWrapper(target), out_(out) {}

  std::uint32_t get_drive_type(const char* root) override;
  bool get_volume_information(const char* root, char* label, std::uint32_t label_size,
                              std::uint32_t* serial, char* file_system,
                              std::uint32_t file_system_size) override;
  bool get_disk_free_space(const char* root, std::uint64_t* caller_free,
                           std::uint64_t* total) override;
  bool get_thread_error_mode(std::uint32_t* mode) override;
  bool set_thread_error_mode(std::uint32_t mode, std::uint32_t* previous) override;
  std::uint32_t set_error_mode(std::uint32_t mode) override;
  std::uint32_t get_version() override;
  DeviceHandle create_file(const char* name, std::uint32_t access, std::uint32_t share,
                           std::uint32_t disposition) override;
  bool device_io_control(DeviceHandle device, std::uint32_t code, const void* input,
                         std::uint32_t input_size, void* output, std::uint32_t output_size,
                         std::uint32_t* returned) override;
  void close_handle(DeviceHandle device) override;
  std::uint32_t get_last_error() override;
  void set_last_error(std::uint32_t code) override;
  std::uint32_t format_message(std::uint32_t code, char* buffer, std::uint32_t size) override;
  WindowProcedure set_window_procedure(WindowHandle window, WindowProcedure procedure) override;
  WindowProcedure get_window_procedure(WindowHandle window) override;
  bool is_window_unicode(WindowHandle window) override;
  WindowProcedure set_window_procedure_wide(WindowHandle window,
                                            WindowProcedure procedure) override;
  WindowProcedure get_window_procedure_wide(WindowHandle window) override;
  MessageResult call_window_procedure_wide(WindowProcedure procedure, WindowHandle window,
                                           std::uint32_t message, std::uintptr_t wparam,
                                           std::intptr_t lparam) override;
  bool set_window_property(WindowHandle window, const char* name,
                           std::uintptr_t value) override;
  std::uintptr_t get_window_property(WindowHandle window, const char* name) override;
  void remove_window_property(WindowHandle window, const char* name) override;
  MessageResult call_window_procedure(WindowProcedure procedure, WindowHandle window,
                                      std::uint32_t message, std::uintptr_t wparam,
                                      std::intptr_t lparam) override;
  void pin_module() override;
  void message_box(const char* text, const char* caption, std::uint32_t style) override;

 private:
  // Writes "trace: CALL -> RESULT, last error N"; reading the last error
  // through the target leaves it unchanged.
  void line(const std::string& call, const std::string& result);

  std::ostream& out_;
};

}  // namespace korvex
