// A platform that makes chosen calls fail, the way the system reports each
// failure, and forwards everything else to its target. A fault names a call
// and the use of it, counting from 1, at which it starts failing: that use
// alone, or that one and every later one. A failing call does not reach the
// target; it leaves the fault's last-error code on the thread.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/platform_wrapper.h"

namespace korvex {

// The calls the system can fail, and how each one says so. (GetPropA cannot
// fail on a window that carries the property.)
enum class FaultyCall {
  kGetDriveType,          // DRIVE_UNKNOWN: the type cannot be determined
  kGetVolumeInformation,  // FALSE
  kGetDiskFreeSpace,      // FALSE, outputs untouched
  kGetThreadErrorMode,    // as on a system without the call
  kSetThreadErrorMode,    // FALSE, the mode unchanged
  kCreateFile,            // INVALID_HANDLE_VALUE
  kDeviceIoControl,       // FALSE
  kCloseHandle,           // the handle stays open
  kFormatMessage,         // 0 characters
  kSetWindowProcedure,    // 0, the procedure unchanged
  kGetWindowProcedure,    // 0
  kSetWindowProperty,     // FALSE, no property set
  kRemoveWindowProperty,  // the property stays
  kMessageBox,            // no box
};
inline constexpr std::size_t kFaultyCallCount = static_cast<std::size_t>(FaultyCall::kMessageBox) + 1;

// The name of the system call, for messages.
const char* faulty_call_name(FaultyCall call);

struct Fault {
  FaultyCall call;
  int use;            // the first use that fails, counting from 1
  bool from_then_on;  // every later use fails too; otherwise that use alone
  std::uint32_t error;
};

class FaultInjectingPlatform final : public PlatformWrapper {
 public:
  using PlatformWrapper::PlatformWrapper;

  // A use that was made to fail, with the root path or device name the call
  // was given (empty for the other calls).
  struct FailedUse {
    FaultyCall call;
    int use;
    std::string subject;
  };

  void inject(const Fault& fault) { faults_.push_back(fault); }
  // How often the call was made, failing or not.
  int uses(FaultyCall call) const { return uses_[index(call)]; }
  // Whether that use of the call, counting from 1, was made to fail.
  bool failed(FaultyCall call, int use) const;
  // Whether a use of the call with that root path or device name was made to fail.
  bool failed_on(FaultyCall call, const std::string& subject) const;
  // How many uses of the call were made to fail.
  int failures(FaultyCall call) const;

  std::uint32_t get_drive_type(const char* root) override;
  bool get_volume_information(const char* root, char* label, std::uint32_t label_size,
                              std::uint32_t* serial, char* file_system,
                              std::uint32_t file_system_size) override;
  bool get_disk_free_space(const char* root, std::uint64_t* caller_free,
                           std::uint64_t* total) override;
  bool get_thread_error_mode(std::uint32_t* mode) override;
  bool set_thread_error_mode(std::uint32_t mode, std::uint32_t* previous) override;
  DeviceHandle create_file(const char* name, std::uint32_t access, std::uint32_t share,
                           std::uint32_t disposition) override;
  bool device_io_control(DeviceHandle device, std::uint32_t code, const void* input,
                         std::uint32_t input_size, void* output, std::uint32_t output_size,
                         std::uint32_t* returned) override;
  void close_handle(DeviceHandle device) override;
  std::uint32_t format_message(std::uint32_t code, char* buffer, std::uint32_t size) override;
  WindowProcedure set_window_procedure(WindowHandle window, WindowProcedure procedure) override;
  WindowProcedure get_window_procedure(WindowHandle window) override;
  bool set_window_property(WindowHandle window, const char* name, std::uintptr_t value) override;
  void remove_window_property(WindowHandle window, const char* name) override;
  void message_box(const char* text, const char* caption, std::uint32_t style) override;

 private:
  static std::size_t index(FaultyCall call) { return static_cast<std::size_t>(call); }
  // Counts a use of the call; true, with the fault's code left as the last
  // error, when that use is to fail.
  bool fails(FaultyCall call, const char* subject = nullptr);

  std::vector<Fault> faults_;
  std::array<int, kFaultyCallCount> uses_{};
  std::vector<FailedUse> failed_uses_;
};

}  // namespace korvex
