// A simulated Windows machine: drives, disk devices, system version, error
// messages and windows, all held in plain fields that a test or a machine file
// sets up, with every platform call answered from them the way Windows
// answers, last-error codes included. What the module asked of it is recorded
// by the tests' ObservingPlatform, not here.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/platform.h"

namespace korvex {

struct SimulatedDrive {
  std::uint32_t type = 3;  // DRIVE_FIXED
  std::string label;
  std::string file_system = "NTFS";
  std::uint32_t serial = 0;
  std::uint64_t total = 0;
  std::uint64_t free = 0;  // available to the caller
  std::optional<std::uint32_t> volume_error;  // GetVolumeInformationA fails with this code
  std::optional<std::uint32_t> space_error;   // GetDiskFreeSpaceExA fails with this code

  bool operator==(const SimulatedDrive&) const = default;
};

using IdentifySector = std::array<std::uint8_t, 512>;
using NvmeIdentifyData = std::array<std::uint8_t, 4096>;

// Identify controller data holding these texts where NVMe puts them: ASCII,
// blank-padded, not swapped; every other byte zero.
NvmeIdentifyData nvme_controller_data(std::string_view serial, std::string_view model,
                                      std::string_view firmware);

// The texts a storage property query answers with, exactly as given, blanks
// included; absent ones have offset 0.
struct SimulatedStorageDescriptor {
  std::optional<std::string> vendor;
  std::optional<std::string> product;
  std::optional<std::string> revision;
  std::optional<std::string> serial;
  std::uint32_t bus_type = 0;
};

// A request the device has no answer for fails with ERROR_INVALID_FUNCTION.
struct SimulatedDevice {
  std::optional<std::uint32_t> open_error;   // CreateFileA fails with this code
  std::optional<std::uint32_t> ioctl_error;  // DeviceIoControl fails with this code
  std::optional<IdentifySector> sector;      // the SMART and miniport identify answer
  std::optional<IdentifySector> ata_pass_through;  // the ATA pass-through identify answer
  // The status register the ATA pass-through hands back (DRDY and DSC: no error).
  std::uint8_t ata_status = 0x50;
  // The SCSI pass-through's answer to ATA PASS-THROUGH IDENTIFY DEVICE.
  std::optional<IdentifySector> scsi_pass_through;
  // A bridge that knows only the 12-byte command: the 16-byte one ends in
  // CHECK CONDITION, no data moved.
  bool sat12_only = false;
  std::optional<SimulatedStorageDescriptor> storage_descriptor;
  std::optional<NvmeIdentifyData> nvme_identify_controller;
  std::optional<std::uint64_t> nvme_namespace_size;  // NSZE of namespace 1
};

using SimulatedProcedure =
    std::function<MessageResult(WindowHandle, std::uint32_t, std::uintptr_t, std::intptr_t)>;

class SimulatedMachine : public Platform {
 public:
  // Windows' codes for the failures the machine produces by itself.
  static constexpr std::uint32_t kInvalidFunction = 1;
  static constexpr std::uint32_t kFileNotFound = 2;
  static constexpr std::uint32_t kAccessDenied = 5;
  static constexpr std::uint32_t kInvalidHandle = 6;
  static constexpr std::uint32_t kInvalidParameter = 87;
  static constexpr std::uint32_t kInvalidWindowHandle = 1400;
  static constexpr std::uint32_t kMessageNotFound = 317;

  std::uint32_t version = 0x1DB10106;
  std::uint32_t last_error = 0;
  // false: a user without administrator rights, who can open a device with
  // access 0 only.
  bool elevated = true;
  std::map<char, SimulatedDrive> drives;            // by upper-case letter
  std::map<std::string, SimulatedDevice> devices;   // by the name CreateFileA receives
  std::map<std::uint32_t, std::string> messages;    // FormatMessageA texts by code
  // False: a system before Windows 7, without GetThreadErrorMode and SetThreadErrorMode.
  bool has_thread_error_mode = true;
  std::uint32_t thread_error_mode = 0;
  std::uint32_t process_error_mode = 0;
  bool module_pinned = false;  // set by pin_module

  // Windows: a procedure is any callable registered here; a window holds one.
  // A window is Unicode while the procedure last put on it came with the wide
  // calls (or, at creation, with the form given).
  WindowProcedure add_procedure(SimulatedProcedure procedure);
  WindowHandle create_window(WindowProcedure procedure, TextForm form = TextForm::kAnsi);
  // SendMessage: the window's current procedure handles the message.
  MessageResult send_message(WindowHandle window, std::uint32_t message, std::uintptr_t wparam = 0,
                             std::intptr_t lparam = 0);
  // DestroyWindow: sends WM_DESTROY, then WM_NCDESTROY, then the window is gone.
  void destroy_window(WindowHandle window);
  // Device handles opened and not yet closed.
  int open_device_count() const { return static_cast<int>(open_devices_.size()); }

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
  WindowProcedure hook_procedure() override;
  WindowProcedure hook_procedure_wide() override;
  void set_hook_handler(WindowMessageHandler* handler) override;
  void pin_module() override;
  void message_box(const char* text, const char* caption, std::uint32_t style) override;

 private:
  struct SimulatedWindow {
    WindowProcedure procedure;
    TextForm form;
    std::map<std::string, std::uintptr_t> properties;
  };

  WindowProcedure set_procedure(WindowHandle window, WindowProcedure procedure, TextForm form);
  MessageResult dispatch(WindowProcedure procedure, WindowHandle window, std::uint32_t message,
                         std::uintptr_t wparam, std::intptr_t lparam);

  const SimulatedDrive* drive_at(const char* root) const;
  // The window, or nullptr with the last error Windows leaves for a bad handle.
  SimulatedWindow* window_at(WindowHandle window);

  static constexpr WindowProcedure kHookProcedure = 0x7F000000;
  static constexpr WindowProcedure kHookProcedureWide = 0x7F000001;
  static constexpr WindowProcedure kFirstProcedure = 0x10000;
  static constexpr WindowHandle kFirstWindow = 0x100;
  static constexpr DeviceHandle kFirstDeviceHandle = 0x40;

  std::map<DeviceHandle, std::string> open_devices_;  // handle to device name
  DeviceHandle next_device_handle_ = kFirstDeviceHandle;
  std::vector<SimulatedProcedure> procedures_;
  std::map<WindowHandle, SimulatedWindow> windows_;
  WindowHandle next_window_ = kFirstWindow;
  WindowMessageHandler* hook_handler_ = nullptr;
};

}  // namespace korvex
