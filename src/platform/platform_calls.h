// Every member of Platform, one row each, for the wrappers that treat every
// call alike: PlatformWrapper, which forwards them all, and the tests'
// observer, which records every use and fails the ones a test chooses. A new
// system call is its member in Platform, its two real implementations and
// its row here; a row that does not match its member fails the build.
//
//   CALL(enumerator, member, system name, result type, (parameters), (arguments), failure)
//
// failure is what the call gives back when the system fails it, with the
// failure's code left as the thread's last error; FailsSilently{} for a call
// that returns nothing, whose failure is only the missing effect; CannotFail{}
// for a call the system does not fail or whose failure the module cannot see.
#pragma once

#include "platform/platform.h"

namespace korvex {

struct FailsSilently {};
struct CannotFail {};

// clang-format off
#define KORVEX_PLATFORM_CALLS(CALL)                                                              \
  /* DRIVE_UNKNOWN: the type cannot be determined */                                             \
  CALL(kGetDriveType, get_drive_type, "GetDriveTypeA", std::uint32_t,                            \
       (const char* root), (root), std::uint32_t{0})                                             \
  CALL(kGetVolumeInformation, get_volume_information, "GetVolumeInformationA", bool,             \
       (const char* root, char* label, std::uint32_t label_size, std::uint32_t* serial,          \
        char* file_system, std::uint32_t file_system_size),                                      \
       (root, label, label_size, serial, file_system, file_system_size), false)                  \
  /* the outputs untouched */                                                                    \
  CALL(kGetDiskFreeSpace, get_disk_free_space, "GetDiskFreeSpaceExA", bool,                      \
       (const char* root, std::uint64_t* caller_free, std::uint64_t* total),                     \
       (root, caller_free, total), false)                                                        \
  /* as on a system without the call */                                                          \
  CALL(kGetThreadErrorMode, get_thread_error_mode, "GetThreadErrorMode", bool,                   \
       (std::uint32_t* mode), (mode), false)                                                     \
  /* the mode unchanged */                                                                       \
  CALL(kSetThreadErrorMode, set_thread_error_mode, "SetThreadErrorMode", bool,                   \
       (std::uint32_t mode, std::uint32_t* previous), (mode, previous), false)                   \
  CALL(kSetErrorMode, set_error_mode, "SetErrorMode", std::uint32_t, (std::uint32_t mode),      \
       (mode), CannotFail{})                                                                     \
  CALL(kGetVersion, get_version, "GetVersion", std::uint32_t, (), (), CannotFail{})              \
  CALL(kCreateFile, create_file, "CreateFileA", DeviceHandle,                                    \
       (const char* name, std::uint32_t access, std::uint32_t share, std::uint32_t disposition), \
       (name, access, share, disposition), kInvalidDeviceHandle)                                 \
  CALL(kDeviceIoControl, device_io_control, "DeviceIoControl", bool,                             \
       (DeviceHandle device, std::uint32_t code, const void* input, std::uint32_t input_size,    \
        void* output, std::uint32_t output_size, std::uint32_t* returned),                       \
       (device, code, input, input_size, output, output_size, returned), false)                  \
  /* the handle stays open */                                                                    \
  CALL(kCloseHandle, close_handle, "CloseHandle", void, (DeviceHandle device), (device),         \
       FailsSilently{})                                                                          \
  CALL(kGetLastError, get_last_error, "GetLastError", std::uint32_t, (), (), CannotFail{})       \
  CALL(kSetLastError, set_last_error, "SetLastError", void, (std::uint32_t code), (code),        \
       CannotFail{})                                                                             \
  /* 0 characters */                                                                             \
  CALL(kFormatMessage, format_message, "FormatMessageA", std::uint32_t,                          \
       (std::uint32_t code, char* buffer, std::uint32_t size), (code, buffer, size),             \
       std::uint32_t{0})                                                                         \
  /* the procedure unchanged */                                                                  \
  CALL(kSetWindowProcedure, set_window_procedure, "SetWindowLongA", WindowProcedure,             \
       (WindowHandle window, WindowProcedure procedure), (window, procedure), WindowProcedure{0}) \
  CALL(kGetWindowProcedure, get_window_procedure, "GetWindowLongA", WindowProcedure,             \
       (WindowHandle window), (window), WindowProcedure{0})                                      \
  /* as for a window of the ANSI form */                                                         \
  CALL(kIsWindowUnicode, is_window_unicode, "IsWindowUnicode", bool, (WindowHandle window),      \
       (window), CannotFail{})                                                                   \
  CALL(kSetWindowProcedureWide, set_window_procedure_wide, "SetWindowLongW", WindowProcedure,    \
       (WindowHandle window, WindowProcedure procedure), (window, procedure), WindowProcedure{0}) \
  CALL(kGetWindowProcedureWide, get_window_procedure_wide, "GetWindowLongW", WindowProcedure,    \
       (WindowHandle window), (window), WindowProcedure{0})                                      \
  /* no property set */                                                                          \
  CALL(kSetWindowProperty, set_window_property, "SetPropA", bool,                                \
       (WindowHandle window, const char* name, std::uintptr_t value), (window, name, value),     \
       false)                                                                                    \
  /* it cannot fail on a window that carries the property */                                     \
  CALL(kGetWindowProperty, get_window_property, "GetPropA", std::uintptr_t,                      \
       (WindowHandle window, const char* name), (window, name), CannotFail{})                    \
  /* the property stays */                                                                       \
  CALL(kRemoveWindowProperty, remove_window_property, "RemovePropA", void,                       \
       (WindowHandle window, const char* name), (window, name), FailsSilently{})                 \
  CALL(kCallWindowProcedure, call_window_procedure, "CallWindowProcA", MessageResult,            \
       (WindowProcedure procedure, WindowHandle window, std::uint32_t message,                   \
        std::uintptr_t wparam, std::intptr_t lparam),                                            \
       (procedure, window, message, wparam, lparam), CannotFail{})                               \
  CALL(kCallWindowProcedureWide, call_window_procedure_wide, "CallWindowProcW", MessageResult,  \
       (WindowProcedure procedure, WindowHandle window, std::uint32_t message,                   \
        std::uintptr_t wparam, std::intptr_t lparam),                                            \
       (procedure, window, message, wparam, lparam), CannotFail{})                               \
  /* the platform's own trampoline and its handler, not system calls */                          \
  CALL(kHookProcedure, hook_procedure, "hook procedure", WindowProcedure, (), (), CannotFail{})  \
  CALL(kHookProcedureWide, hook_procedure_wide, "wide hook procedure", WindowProcedure, (), (),  \
       CannotFail{})                                                                             \
  CALL(kSetHookHandler, set_hook_handler, "hook handler", void,                                  \
       (WindowMessageHandler* handler), (handler), CannotFail{})                                 \
  CALL(kPinModule, pin_module, "GetModuleHandleExA", void, (), (), CannotFail{})                 \
  /* no box */                                                                                   \
  CALL(kMessageBox, message_box, "MessageBoxA", void,                                            \
       (const char* text, const char* caption, std::uint32_t style), (text, caption, style),     \
       FailsSilently{})
// clang-format on

}  // namespace korvex
