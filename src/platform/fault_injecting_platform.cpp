#include "platform/fault_injecting_platform.h"

#include <algorithm>

namespace korvex {
namespace {
constexpr std::uint32_t kDriveUnknown = 0;
}

const char* faulty_call_name(FaultyCall call) {
  switch (call) {
    case FaultyCall::kGetDriveType: return "GetDriveTypeA";
    case FaultyCall::kGetVolumeInformation: return "GetVolumeInformationA";
    case FaultyCall::kGetDiskFreeSpace: return "GetDiskFreeSpaceExA";
    case FaultyCall::kGetThreadErrorMode: return "GetThreadErrorMode";
    case FaultyCall::kSetThreadErrorMode: return "SetThreadErrorMode";
    case FaultyCall::kCreateFile: return "CreateFileA";
    case FaultyCall::kDeviceIoControl: return "DeviceIoControl";
    case FaultyCall::kCloseHandle: return "CloseHandle";
    case FaultyCall::kFormatMessage: return "FormatMessageA";
    case FaultyCall::kSetWindowProcedure: return "SetWindowLongA";
    case FaultyCall::kGetWindowProcedure: return "GetWindowLongA";
    case FaultyCall::kSetWindowProperty: return "SetPropA";
    case FaultyCall::kRemoveWindowProperty: return "RemovePropA";
    case FaultyCall::kMessageBox: return "MessageBoxA";
  }
  return "?";
}

bool FaultInjectingPlatform::failed(FaultyCall call, int use) const {
  return std::any_of(failed_uses_.begin(), failed_uses_.end(), [&](const FailedUse& failed) {
    return failed.call == call && failed.use == use;
  });
}

bool FaultInjectingPlatform::failed_on(FaultyCall call, const std::string& subject) const {
  return std::any_of(failed_uses_.begin(), failed_uses_.end(), [&](const FailedUse& failed) {
    return failed.call == call && failed.subject == subject;
  });
}

int FaultInjectingPlatform::failures(FaultyCall call) const {
  return static_cast<int>(std::count_if(failed_uses_.begin(), failed_uses_.end(),
                                        [&](const FailedUse& failed) { return failed.call == call; }));
}

bool FaultInjectingPlatform::fails(FaultyCall call, const char* subject) {
  const int use = ++uses_[index(call)];
  for (const Fault& fault : faults_) {
    if (fault.call == call && (use == fault.use || (fault.from_then_on && use > fault.use))) {
      failed_uses_.push_back({call, use, subject == nullptr ? "" : subject});
      PlatformWrapper::set_last_error(fault.error);
      return true;
    }
  }
  return false;
}

std::uint32_t FaultInjectingPlatform::get_drive_type(const char* root) {
  if (fails(FaultyCall::kGetDriveType, root)) return kDriveUnknown;
  return PlatformWrapper::get_drive_type(root);
}

bool FaultInjectingPlatform::get_volume_information(const char* root, char* label,
                                                    std::uint32_t label_size,
                                                    std::uint32_t* serial, char* file_system,
                                                    std::uint32_t file_system_size) {
  if (fails(FaultyCall::kGetVolumeInformation, root)) return false;
  return PlatformWrapper::get_volume_information(root, label, label_size, serial, file_system,
                                                 file_system_size);
}

bool FaultInjectingPlatform::get_disk_free_space(const char* root, std::uint64_t* caller_free,
                                                 std::uint64_t* total) {
  if (fails(FaultyCall::kGetDiskFreeSpace, root)) return false;
  return PlatformWrapper::get_disk_free_space(root, caller_free, total);
}

bool FaultInjectingPlatform::get_thread_error_mode(std::uint32_t* mode) {
  if (fails(FaultyCall::kGetThreadErrorMode)) return false;
  return PlatformWrapper::get_thread_error_mode(mode);
}

bool FaultInjectingPlatform::set_thread_error_mode(std::uint32_t mode, std::uint32_t* previous) {
  if (fails(FaultyCall::kSetThreadErrorMode)) return false;
  return PlatformWrapper::set_thread_error_mode(mode, previous);
}

DeviceHandle FaultInjectingPlatform::create_file(const char* name, std::uint32_t access,
                                                 std::uint32_t share, std::uint32_t disposition) {
  if (fails(FaultyCall::kCreateFile, name)) return kInvalidDeviceHandle;
  return PlatformWrapper::create_file(name, access, share, disposition);
}

bool FaultInjectingPlatform::device_io_control(DeviceHandle device, std::uint32_t code,
                                               const void* input, std::uint32_t input_size,
                                               void* output, std::uint32_t output_size,
                                               std::uint32_t* returned) {
  if (fails(FaultyCall::kDeviceIoControl)) return false;
  return PlatformWrapper::device_io_control(device, code, input, input_size, output, output_size,
                                            returned);
}

void FaultInjectingPlatform::close_handle(DeviceHandle device) {
  if (fails(FaultyCall::kCloseHandle)) return;
  PlatformWrapper::close_handle(device);
}

std::uint32_t FaultInjectingPlatform::format_message(std::uint32_t code, char* buffer,
                                                     std::uint32_t size) {
  if (fails(FaultyCall::kFormatMessage)) return 0;
  return PlatformWrapper::format_message(code, buffer, size);
}

WindowProcedure FaultInjectingPlatform::set_window_procedure(WindowHandle window,
                                                             WindowProcedure procedure) {
  if (fails(FaultyCall::kSetWindowProcedure)) return 0;
  return PlatformWrapper::set_window_procedure(window, procedure);
}

WindowProcedure FaultInjectingPlatform::get_window_procedure(WindowHandle window) {
  if (fails(FaultyCall::kGetWindowProcedure)) return 0;
  return PlatformWrapper::get_window_procedure(window);
}

bool FaultInjectingPlatform::set_window_property(WindowHandle window, const char* name,
                                                std::uintptr_t value) {
  if (fails(FaultyCall::kSetWindowProperty)) return false;
  return PlatformWrapper::set_window_property(window, name, value);
}

void FaultInjectingPlatform::remove_window_property(WindowHandle window, const char* name) {
  if (fails(FaultyCall::kRemoveWindowProperty)) return;
  PlatformWrapper::remove_window_property(window, name);
}

void FaultInjectingPlatform::message_box(const char* text, const char* caption,
                                         std::uint32_t style) {
  if (fails(FaultyCall::kMessageBox)) return;
  PlatformWrapper::message_box(text, caption, style);
}

}  // namespace korvex
