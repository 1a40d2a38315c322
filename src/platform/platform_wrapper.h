// A platform that forwards every call to a target platform, so that a subclass
// can observe or alter just the calls it overrides.
#pragma once

#include "platform/platform.h"

namespace korvex {

class PlatformWrapper : public Platform {
 public:
  explicit PlatformWrapper(Platform& target) : target_(target) {}

  std::uint32_t get_drive_type(const char* root) override { return target_.get_drive_type(root); }
  bool get_volume_information(const char* root, char* label, std::uint32_t label_size,
                              std::uint32_t* serial, char* file_system,
                              std::uint32_t file_system_size) override {
    return target_.get_volume_information(root, label, label_size, serial, file_system,
                                          file_system_size);
  }
  bool get_disk_free_space(const char* root, std::uint64_t* caller_free,
                           std::uint64_t* total) override {
    return target_.get_disk_free_space(root, caller_free, total);
  }
  bool get_thread_error_mode(std::uint32_t* mode) override {
    return target_.get_thread_error_mode(mode);
  }
  bool set_thread_error_mode(std::uint32_t mode, std::uint32_t* previous) override {
    return target_.set_thread_error_mode(mode, previous);
  }
  std::uint32_t get_version() override { return target_.get_version(); }
  DeviceHandle create_file(const char* name, std::uint32_t access, std::uint32_t share,
                           std::uint32_t disposition) override {
    return target_.create_file(name, access, share, disposition);
  }
  bool device_io_control(DeviceHandle device, std::uint32_t code, const void* input,
                         std::uint32_t input_size, void* output, std::uint32_t output_size,
                         std::uint32_t* returned) override {
    return target_.device_io_control(device, code, input, input_size, output, output_size,
                                     returned);
  }
  void close_handle(DeviceHandle device) override { target_.close_handle(device); }
  std::uint32_t get_last_error() override { return target_.get_last_error(); }
  void set_last_error(std::uint32_t code) override { target_.set_last_error(code); }
  std::uint32_t format_message(std::uint32_t code, char* buffer, std::uint32_t size) override {
    return target_.format_message(code, buffer, size);
  }
  WindowProcedure set_window_procedure(WindowHandle window, WindowProcedure procedure) override {
    return target_.set_window_procedure(window, procedure);
  }
  WindowProcedure get_window_procedure(WindowHandle window) override {
    return target_.get_window_procedure(window);
  }
  bool is_window_unicode(WindowHandle window) override {
    return target_.is_window_unicode(window);
  }
  WindowProcedure set_window_procedure_wide(WindowHandle window,
                                            WindowProcedure procedure) override {
    return target_.set_window_procedure_wide(window, procedure);
  }
  WindowProcedure get_window_procedure_wide(WindowHandle window) override {
    return target_.get_window_procedure_wide(window);
  }
  MessageResult call_window_procedure_wide(WindowProcedure procedure, WindowHandle window,
                                           std::uint32_t message, std::uintptr_t wparam,
                                           std::intptr_t lparam) override {
    return target_.call_window_procedure_wide(procedure, window, message, wparam, lparam);
  }
  bool set_window_property(WindowHandle window, const char* name,
                           std::uintptr_t value) override {
    return target_.set_window_property(window, name, value);
  }
  std::uintptr_t get_window_property(WindowHandle window, const char* name) override {
    return target_.get_window_property(window, name);
  }
  void remove_window_property(WindowHandle window, const char* name) override {
    target_.remove_window_property(window, name);
  }
  MessageResult call_window_procedure(WindowProcedure procedure, WindowHandle window,
                                      std::uint32_t message, std::uintptr_t wparam,
                                      std::intptr_t lparam) override {
    return target_.call_window_procedure(procedure, window, message, wparam, lparam);
  }
  WindowProcedure hook_procedure() override { return target_.hook_procedure(); }
  WindowProcedure hook_procedure_wide() override { return target_.hook_procedure_wide(); }
  void set_hook_handler(WindowMessageHandler* handler) override {
    target_.set_hook_handler(handler);
  }
  void pin_module() override { target_.pin_module(); }
  void message_box(const char* text, const char* caption, std::uint32_t style) override {
    target_.message_box(text, caption, style);
  }

 private:
  Platform& target_;
};

}  // namespace korvex
