// The module's whole contact with the operating system.
//
// Every call the module makes to Windows goes through this interface, one
// member per system call, with the system's own arguments and results. The
// module object receives the platform it runs on: Win32Platform in the real
// DLL, SimulatedMachine in the native build and its tests, and a
// PlatformWrapper subclass wherever calls are to be observed or altered. A new
// member also takes its row in platform_calls.h.
#pragma once

#include <cstdint>

namespace korvex {

// Opaque system handles, carried as the pointer-sized values Windows uses.
using DeviceHandle = std::intptr_t;
using WindowHandle = std::uintptr_t;
using WindowProcedure = std::uintptr_t;
using MessageResult = std::intptr_t;

inline constexpr DeviceHandle kInvalidDeviceHandle = -1;  // INVALID_HANDLE_VALUE

// Values the module passes to or compares with system calls.
namespace win32 {
inline constexpr std::uint32_t kDriveNoRootDir = 1;
inline constexpr std::uint32_t kGenericReadWrite = 0xC0000000;
inline constexpr std::uint32_t kFileShareReadWrite = 3;
inline constexpr std::uint32_t kCreateNew = 1;
inline constexpr std::uint32_t kOpenExisting = 3;
inline constexpr std::uint32_t kWmDestroy = 2;
inline constexpr std::uint32_t kWmNcDestroy = 0x82;
inline constexpr std::uint32_t kMbOkSetForeground = 0x10000;
inline constexpr std::uint32_t kSemFailCriticalErrors = 1;
}  // namespace win32

// How a window procedure takes the texts of its messages: in the ANSI code
// page, or as UTF-16 (a Unicode window, or a procedure put on with the wide
// calls). The system translates between the two at every procedure of the
// other form, through the code page: a Unicode window hooked with the ANSI
// calls would lose every character outside it.
enum class TextForm { kAnsi, kWide };

// Called by the platform's window-procedure trampolines for every message of a
// window whose procedure is one that hook_procedure() returns, on the thread
// that owns the window; form is the trampoline's.
class WindowMessageHandler {
 public:
  virtual MessageResult handle_message(TextForm form, WindowHandle window, std::uint32_t message,
                                       std::uintptr_t wparam, std::intptr_t lparam) = 0;

 protected:
  ~WindowMessageHandler() = default;
};

class Platform {
 public:
  virtual ~Platform() = default;

  // GetDriveTypeA: the drive type of a root path such as "C:\".
  virtual std::uint32_t get_drive_type(const char* root) = 0;

  // GetVolumeInformationA without the component-length and flags outputs:
  // label and file-system name into buffers of the given sizes, NUL-terminated.
  // Returns false when the volume cannot be read.
  virtual bool get_volume_information(const char* root, char* label, std::uint32_t label_size,
                                      std::uint32_t* serial, char* file_system,
                                      std::uint32_t file_system_size) = 0;

  // GetDiskFreeSpaceExA: bytes available to the caller and total bytes.
  virtual bool get_disk_free_space(const char* root, std::uint64_t* caller_free,
                                   std::uint64_t* total) = 0;

  // GetThreadErrorMode: the calling thread's error mode. Returns false where
  // the system lacks the call.
  virtual bool get_thread_error_mode(std::uint32_t* mode) = 0;

  // SetThreadErrorMode: sets the calling thread's error mode and stores the
  // previous one. Returns false, changing nothing, where the system lacks the call.
  virtual bool set_thread_error_mode(std::uint32_t mode, std::uint32_t* previous) = 0;

  // SetErrorMode: sets the process's error mode, which every thread without a
  // mode of its own follows; returns the previous one.
  virtual std::uint32_t set_error_mode(std::uint32_t mode) = 0;

  // GetVersion.
  virtual std::uint32_t get_version() = 0;

  // CreateFileA with no security attributes, no flags and no template.
  virtual DeviceHandle create_file(const char* name, std::uint32_t access, std::uint32_t share,
                                   std::uint32_t disposition) = 0;

  // DeviceIoControl, synchronous; input and output may be the same buffer.
  virtual bool device_io_control(DeviceHandle device, std::uint32_t code, const void* input,
                                 std::uint32_t input_size, void* output, std::uint32_t output_size,
                                 std::uint32_t* returned) = 0;

  // CloseHandle.
  virtual void close_handle(DeviceHandle device) = 0;

  // GetLastError and SetLastError of the calling thread.
  virtual std::uint32_t get_last_error() = 0;
  virtual void set_last_error(std::uint32_t code) = 0;

  // FormatMessageA(0x3000, NULL, code, 0, buffer, size, NULL): the count of
  // characters written, 0 on failure.
  virtual std::uint32_t format_message(std::uint32_t code, char* buffer, std::uint32_t size) = 0;

  // SetWindowLongPtrA(window, GWLP_WNDPROC, procedure), SetWindowLongA in
  // 32-bit Windows: the previous procedure, 0 on failure.
  virtual WindowProcedure set_window_procedure(WindowHandle window, WindowProcedure procedure) = 0;

  // GetWindowLongPtrA(window, GWLP_WNDPROC), GetWindowLongA in 32-bit
  // Windows: the current procedure, 0 on failure.
  virtual WindowProcedure get_window_procedure(WindowHandle window) = 0;

  // IsWindowUnicode: whether the window's procedure takes UTF-16 texts.
  // False where the system lacks the wide window calls below.
  virtual bool is_window_unicode(WindowHandle window) = 0;

  // SetWindowLongPtrW, GetWindowLongPtrW and CallWindowProcW (the Long forms
  // in 32-bit Windows): the wide forms of the calls above, looked up at run
  // time. 0 where the system lacks them.
  virtual WindowProcedure set_window_procedure_wide(WindowHandle window,
                                                    WindowProcedure procedure) = 0;
  virtual WindowProcedure get_window_procedure_wide(WindowHandle window) = 0;
  virtual MessageResult call_window_procedure_wide(WindowProcedure procedure, WindowHandle window,
                                                   std::uint32_t message, std::uintptr_t wparam,
                                                   std::intptr_t lparam) = 0;

  // SetPropA, GetPropA and RemovePropA: a value kept on a window under a name;
  // 0 where the window has none (or is not a window).
  virtual bool set_window_property(WindowHandle window, const char* name,
                                   std::uintptr_t value) = 0;
  virtual std::uintptr_t get_window_property(WindowHandle window, const char* name) = 0;
  virtual void remove_window_property(WindowHandle window, const char* name) = 0;

  // CallWindowProcA.
  virtual MessageResult call_window_procedure(WindowProcedure procedure, WindowHandle window,
                                              std::uint32_t message, std::uintptr_t wparam,
                                              std::intptr_t lparam) = 0;

  // The address of the platform's trampoline window procedure for the ANSI
  // calls, and the one for the wide calls; each passes every message to the
  // handler set here (nullptr: none). Setting nullptr also gives back what the
  // trampolines hold, unless a message is still on its way out through them.
  virtual WindowProcedure hook_procedure() = 0;
  virtual WindowProcedure hook_procedure_wide() = 0;
  virtual void set_hook_handler(WindowMessageHandler* handler) = 0;

  // GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_PIN | ..._FROM_ADDRESS) on the
  // trampoline: the module's image stays loaded until the process ends, even
  // when the host frees it. Does nothing where the system lacks the call.
  virtual void pin_module() = 0;

  // MessageBoxA without an owner window.
  virtual void message_box(const char* text, const char* caption, std::uint32_t style) = 0;
};

}  // namespace korvex
