#include "platform/win32/win32_platform.h"

#include <windows.h>

namespace korvex {
namespace {

// The handler of the window hook. The trampoline below is the procedure
// installed on the host's windows; it runs on each window's thread. Plain
// data, so that it stays in place through the runtime's shutdown: a module
// pinned at unload goes on forwarding.
constinit WindowMessageHandler* hook_handler = nullptr;

LRESULT CALLBACK hook_trampoline(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (hook_handler == nullptr) return DefWindowProcA(window, message, wparam, lparam);
  return hook_handler->handle_message(reinterpret_cast<WindowHandle>(window), message, wparam,
                                      lparam);
}

HWND as_window(WindowHandle window) { return reinterpret_cast<HWND>(window); }

// A kernel32 function looked up at run time, nullptr where the system lacks
// it: importing a function Windows XP lacks (such as the thread error-mode
// calls, new in Windows 7) would keep the DLL from loading there.
template <typename Function>
Function kernel32_function(const char* name) {
  return reinterpret_cast<Function>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), name)));
}

}  // namespace

std::uint32_t Win32Platform::get_drive_type(const char* root) { return GetDriveTypeA(root); }

bool Win32Platform::get_volume_information(const char* root, char* label,
                                           std::uint32_t label_size, std::uint32_t* serial,
                                           char* file_system, std::uint32_t file_system_size) {
  DWORD serial_number = 0;
  DWORD component_length = 0;
  DWORD flags = 0;
  const BOOL ok = GetVolumeInformationA(root, label, label_size, &serial_number, &component_length,
                                        &flags, file_system, file_system_size);
  if (serial != nullptr) *serial = serial_number;
  return ok != 0;
}

bool Win32Platform::get_disk_free_space(const char* root, std::uint64_t* caller_free,
                                        std::uint64_t* total) {
  ULARGE_INTEGER available{};
  ULARGE_INTEGER total_bytes{};
  const BOOL ok = GetDiskFreeSpaceExA(root, &available, &total_bytes, nullptr);
  if (caller_free != nullptr) *caller_free = available.QuadPart;
  if (total != nullptr) *total = total_bytes.QuadPart;
  return ok != 0;
}

bool Win32Platform::get_thread_error_mode(std::uint32_t* mode) {
  using GetThreadErrorModeFunction = DWORD(WINAPI*)();
  static const auto get_mode = kernel32_function<GetThreadErrorModeFunction>("GetThreadErrorMode");
  if (get_mode == nullptr) return false;
  if (mode != nullptr) *mode = get_mode();
  return true;
}

bool Win32Platform::set_thread_error_mode(std::uint32_t mode, std::uint32_t* previous) {
  using SetThreadErrorModeFunction = BOOL(WINAPI*)(DWORD, LPDWORD);
  static const auto set_mode = kernel32_function<SetThreadErrorModeFunction>("SetThreadErrorMode");
  if (set_mode == nullptr) return false;
  DWORD old_mode = 0;
  if (!set_mode(mode, &old_mode)) return false;
  if (previous != nullptr) *previous = old_mode;
  return true;
}

std::uint32_t Win32Platform::set_error_mode(std::uint32_t mode) { return SetErrorMode(mode); }

std::uint32_t Win32Platform::get_version() { return GetVersion(); }

DeviceHandle Win32Platform::create_file(const char* name, std::uint32_t access,
                                        std::uint32_t share, std::uint32_t disposition) {
  return reinterpret_cast<DeviceHandle>(
      CreateFileA(name, access, share, nullptr, disposition, 0, nullptr));
}

bool Win32Platform::device_io_control(DeviceHandle device, std::uint32_t code, const void* input,
                                      std::uint32_t input_size, void* output,
                                      std::uint32_t output_size, std::uint32_t* returned) {
  DWORD bytes = 0;
  const BOOL ok = DeviceIoControl(reinterpret_cast<HANDLE>(device), code, const_cast<void*>(input),
                                  input_size, output, output_size, &bytes, nullptr);
  if (returned != nullptr) *returned = bytes;
  return ok != 0;
}

void Win32Platform::close_handle(DeviceHandle device) { CloseHandle(reinterpret_cast<HANDLE>(device)); }

std::uint32_t Win32Platform::get_last_error() { return GetLastError(); }

void Win32Platform::set_last_error(std::uint32_t code) { SetLastError(code); }

std::uint32_t Win32Platform::format_message(std::uint32_t code, char* buffer, std::uint32_t size) {
  return FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_ARGUMENT_ARRAY, nullptr, code,
                        0, buffer, size, nullptr);
}

// The pointer-sized forms, which 64-bit Windows needs; 32-bit Windows has
// them only as macros for SetWindowLongA and GetWindowLongA, which the DLL
// then imports.
WindowProcedure Win32Platform::set_window_procedure(WindowHandle window,
                                                    WindowProcedure procedure) {
  return static_cast<WindowProcedure>(
      SetWindowLongPtrA(as_window(window), GWLP_WNDPROC, static_cast<LONG_PTR>(procedure)));
}

WindowProcedure Win32Platform::get_window_procedure(WindowHandle window) {
  return static_cast<WindowProcedure>(GetWindowLongPtrA(as_window(window), GWLP_WNDPROC));
}

bool Win32Platform::set_window_property(WindowHandle window, const char* name,
                                        std::uintptr_t value) {
  return SetPropA(as_window(window), name, reinterpret_cast<HANDLE>(value)) != 0;
}

std::uintptr_t Win32Platform::get_window_property(WindowHandle window, const char* name) {
  return reinterpret_cast<std::uintptr_t>(GetPropA(as_window(window), name));
}

void Win32Platform::remove_window_property(WindowHandle window, const char* name) {
  RemovePropA(as_window(window), name);
}

MessageResult Win32Platform::call_window_procedure(WindowProcedure procedure, WindowHandle window,
                                                   std::uint32_t message, std::uintptr_t wparam,
                                                   std::intptr_t lparam) {
  return CallWindowProcA(reinterpret_cast<WNDPROC>(procedure), as_window(window), message, wparam,
                         lparam);
}

WindowProcedure Win32Platform::hook_procedure() {
  return reinterpret_cast<WindowProcedure>(&hook_trampoline);
}

void Win32Platform::set_hook_handler(WindowMessageHandler* handler) { hook_handler = handler; }

// Looked up at run time: Windows 98, ME and 2000 lack the call, and the DLL
// must still load there.
void Win32Platform::pin_module() {
  using GetModuleHandleExFunction = BOOL(WINAPI*)(DWORD, LPCSTR, HMODULE*);
  const auto get_module_handle =
      reinterpret_cast<GetModuleHandleExFunction>(reinterpret_cast<void*>(
          GetProcAddress(GetModuleHandleA("kernel32.dll"), "GetModuleHandleExA")));
  if (get_module_handle == nullptr) return;
  HMODULE module = nullptr;
  get_module_handle(GET_MODULE_HANDLE_EX_FLAG_PIN | GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                    reinterpret_cast<LPCSTR>(&hook_trampoline), &module);
}

void Win32Platform::message_box(const char* text, const char* caption, std::uint32_t style) {
  MessageBoxA(nullptr, text, caption, style);
}

}  // namespace korvex
