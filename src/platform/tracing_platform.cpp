#include "platform/tracing_platform.h"

#include "support/quoted_text.h"

namespace korvex {
namespace {

std::string text_argument(const char* text) { return text == nullptr ? "null" : quoted_text(text); }

std::string number(std::uint64_t value) { return std::to_string(value); }

std::string hex(std::uint64_t value) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string digits;
  do {
    digits.insert(digits.begin(), kDigits[value & 0xF]);
    value >>= 4;
  } while (value != 0);
  return "0x" + digits;
}

std::string truth(bool value) { return value ? "1" : "0"; }

}  // namespace

void TracingPlatform::line(const std::string& call, const std::string& result) {
  out_ << "trace: " << call << " -> " << result << ", last error "
       << PlatformWrapper::get_last_error() << '\n';
}

std::uint32_t TracingPlatform::get_drive_type(const char* root) {
  const std::uint32_t type = PlatformWrapper::get_drive_type(root);
  line("GetDriveTypeA(" + text_argument(root) + ")", number(type));
  return type;
}

bool TracingPlatform::get_volume_information(const char* root, char* label,
                                             std::uint32_t label_size, std::uint32_t* serial,
                                             char* file_system, std::uint32_t file_system_size) {
  const bool ok = PlatformWrapper::get_volume_information(root, label, label_size, serial,
                                                          file_system, file_system_size);
  std::string result = truth(ok);
  if (ok) {
    result += " (label " + quoted_text(label) + ", serial " + hex(*serial) + ", file system " +
              quoted_text(file_system) + ")";
  }
  line("GetVolumeInformationA(" + text_argument(root) + ", " + number(label_size) + ", " +
           number(file_system_size) + ")",
       result);
  return ok;
}

bool TracingPlatform::get_disk_free_space(const char* root, std::uint64_t* caller_free,
                                          std::uint64_t* total) {
  const bool ok = PlatformWrapper::get_disk_free_space(root, caller_free, total);
  std::string result = truth(ok);
  if (ok) result += " (caller free " + number(*caller_free) + ", total " + number(*total) + ")";
  line("GetDiskFreeSpaceExA(" + text_argument(root) + ")", result);
  return ok;
}

bool TracingPlatform::get_thread_error_mode(std::uint32_t* mode) {
  const bool ok = PlatformWrapper::get_thread_error_mode(mode);
  line("GetThreadErrorMode()", truth(ok) + (ok ? " (mode " + hex(*mode) + ")" : ""));
  return ok;
}

bool TracingPlatform::set_thread_error_mode(std::uint32_t mode, std::uint32_t* previous) {
  const bool ok = PlatformWrapper::set_thread_error_mode(mode, previous);
  line("SetThreadErrorMode(" + hex(mode) + ")",
       truth(ok) + (ok ? " (previous " + hex(*previous) + ")" : ""));
  return ok;
}

std::uint32_t TracingPlatform::set_error_mode(std::uint32_t mode) {
  const std::uint32_t previous = PlatformWrapper::set_error_mode(mode);
  line("SetErrorMode(" + hex(mode) + ")", hex(previous));
  return previous;
}

std::uint32_t TracingPlatform::get_version() {
  const std::uint32_t version = PlatformWrapper::get_version();
  line("GetVersion()", hex(version));
  return version;
}

DeviceHandle TracingPlatform::create_file(const char* name, std::uint32_t access,
                                          std::uint32_t share, std::uint32_t disposition) {
  const DeviceHandle handle = PlatformWrapper::create_file(name, access, share, disposition);
  line("CreateFileA(" + text_argument(name) + ", " + hex(access) + ", " + number(share) + ", " +
           number(disposition) + ")",
       handle == kInvalidDeviceHandle ? "INVALID_HANDLE_VALUE" : hex(static_cast<std::uint64_t>(handle)));
  return handle;
}

bool TracingPlatform::device_io_control(DeviceHandle device, std::uint32_t code,
                                        const void* input, std::uint32_t input_size,
                                        void* output, std::uint32_t output_size,
                                        std::uint32_t* returned) {
  const std::string request = hex_bytes(input, input_size);
  const bool ok = PlatformWrapper::device_io_control(device, code, input, input_size, output,
                                                     output_size, returned);
  line("DeviceIoControl(" + hex(static_cast<std::uint64_t>(device)) + ", " + hex(code) + ", " +
           request + ", " + number(output_size) + ")",
       truth(ok) + (ok ? " (" + hex_bytes(output, output_size) + ")" : ""));
  return ok;
}

void TracingPlatform::close_handle(DeviceHandle device) {
  PlatformWrapper::close_handle(device);
  line("CloseHandle(" + hex(static_cast<std::uint64_t>(device)) + ")", "done");
}

std::uint32_t TracingPlatform::get_last_error() {
  const std::uint32_t code = PlatformWrapper::get_last_error();
  line("GetLastError()", number(code));
  return code;
}

void TracingPlatform::set_last_error(std::uint32_t code) {
  PlatformWrapper::set_last_error(code);
  line("SetLastError(" + number(code) + ")", "done");
}

std::uint32_t TracingPlatform::format_message(std::uint32_t code, char* buffer,
                                              std::uint32_t size) {
  const std::uint32_t count = PlatformWrapper::format_message(code, buffer, size);
  line("FormatMessageA(" + number(code) + ", " + number(size) + ")",
       number(count) + (count != 0 ? " (" + quoted_text(std::string_view(buffer, count)) + ")" : ""));
  return count;
}

WindowProcedure TracingPlatform::set_window_procedure(WindowHandle window,
                                                      WindowProcedure procedure) {
  const WindowProcedure previous = PlatformWrapper::set_window_procedure(window, procedure);
  line("SetWindowLongA(" + hex(window) + ", GWL_WNDPROC, " + hex(procedure) + ")", hex(previous));
  return previous;
}

WindowProcedure TracingPlatform::get_window_procedure(WindowHandle window) {
  const WindowProcedure procedure = PlatformWrapper::get_window_procedure(window);
  line("GetWindowLongA(" + hex(window) + ", GWL_WNDPROC)", hex(procedure));
  return procedure;
}

bool TracingPlatform::is_window_unicode(WindowHandle window) {
  const bool unicode = PlatformWrapper::is_window_unicode(window);
  line("IsWindowUnicode(" + hex(window) + ")", truth(unicode));
  return unicode;
}

WindowProcedure TracingPlatform::set_window_procedure_wide(WindowHandle window,
                                                           WindowProcedure procedure) {
  const WindowProcedure previous = PlatformWrapper::set_window_procedure_wide(window, procedure);
  line("SetWindowLongW(" + hex(window) + ", GWL_WNDPROC, " + hex(procedure) + ")", hex(previous));
  return previous;
}

WindowProcedure TracingPlatform::get_window_procedure_wide(WindowHandle window) {
  const WindowProcedure procedure = PlatformWrapper::get_window_procedure_wide(window);
  line("GetWindowLongW(" + hex(window) + ", GWL_WNDPROC)", hex(procedure));
  return procedure;
}

bool TracingPlatform::set_window_property(WindowHandle window, const char* name,
                                          std::uintptr_t value) {
  const bool ok = PlatformWrapper::set_window_property(window, name, value);
  line("SetPropA(" + hex(window) + ", " + text_argument(name) + ", " + hex(value) + ")", truth(ok));
  return ok;
}

std::uintptr_t TracingPlatform::get_window_property(WindowHandle window, const char* name) {
  const std::uintptr_t value = PlatformWrapper::get_window_property(window, name);
  line("GetPropA(" + hex(window) + ", " + text_argument(name) + ")", hex(value));
  return value;
}

void TracingPlatform::remove_window_property(WindowHandle window, const char* name) {
  PlatformWrapper::remove_window_property(window, name);
  line("RemovePropA(" + hex(window) + ", " + text_argument(name) + ")", "done");
}

MessageResult TracingPlatform::call_window_procedure(WindowProcedure procedure,
                                                     WindowHandle window, std::uint32_t message,
                                                     std::uintptr_t wparam, std::intptr_t lparam) {
  const MessageResult result =
      PlatformWrapper::call_window_procedure(procedure, window, message, wparam, lparam);
  line("CallWindowProcA(" + hex(procedure) + ", " + hex(window) + ", " + hex(message) + ", " +
           hex(wparam) + ", " + hex(static_cast<std::uint64_t>(lparam)) + ")",
       std::to_string(result));
  return result;
}

MessageResult TracingPlatform::call_window_procedure_wide(WindowProcedure procedure,
                                                          WindowHandle window,
                                                          std::uint32_t message,
                                                          std::uintptr_t wparam,
                                                          std::intptr_t lparam) {
  const MessageResult result =
      PlatformWrapper::call_window_procedure_wide(procedure, window, message, wparam, lparam);
  line("CallWindowProcW(" + hex(procedure) + ", " + hex(window) + ", " + hex(message) + ", " +
           hex(wparam) + ", " + hex(static_cast<std::uint64_t>(lparam)) + ")",
       std::to_string(result));
  return result;
}

void TracingPlatform::pin_module() {
  PlatformWrapper::pin_module();
  line("GetModuleHandleExA(PIN | FROM_ADDRESS, trampoline)", "done");
}

void TracingPlatform::message_box(const char* text, const char* caption, std::uint32_t style) {
  PlatformWrapper::message_box(text, caption, style);
  line("MessageBoxA(null, " + text_argument(text) + ", " + text_argument(caption) + ", " +
           hex(style) + ")",
       "done");
}

}  // namespace korvex
