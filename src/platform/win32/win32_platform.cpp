#include "platform/win32/win32_platform.h"

#include <windows.h>

#include <cstring>
#include <initializer_list>

namespace korvex {
namespace {

// The calls that not every system the DLL loads on has, and those the
// release stub needs that the DLL's import list was not checked for, looked
// up once at load: importing one that Windows 98 or XP lacks would keep the
// DLL from loading there. Plain pointers, so that they need no guarded static set-up,
// whose lock the runtime would keep beyond an unload.
struct LookedUpCalls {
  DWORD(WINAPI* get_thread_error_mode)() = nullptr;
  BOOL(WINAPI* set_thread_error_mode)(DWORD, LPDWORD) = nullptr;
  BOOL(WINAPI* get_module_handle_ex)(DWORD, LPCSTR, HMODULE*) = nullptr;
  LPVOID(WINAPI* virtual_alloc)(LPVOID, SIZE_T, DWORD, DWORD) = nullptr;
  BOOL(WINAPI* virtual_free)(LPVOID, SIZE_T, DWORD) = nullptr;
  BOOL(WINAPI* free_library)(HMODULE) = nullptr;
  BOOL(WINAPI* is_window_unicode)(HWND) = nullptr;
  LONG_PTR(WINAPI* set_window_long_wide)(HWND, int, LONG_PTR) = nullptr;
  LONG_PTR(WINAPI* get_window_long_wide)(HWND, int) = nullptr;
  LRESULT(WINAPI* call_window_proc_wide)(WNDPROC, HWND, UINT, WPARAM, LPARAM) = nullptr;
  LRESULT(WINAPI* def_window_proc_wide)(HWND, UINT, WPARAM, LPARAM) = nullptr;
};

constinit LookedUpCalls calls;

template <typename Function>
void look_up(Function& function, HMODULE library, const char* name) {
  function = reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(library, name)));
}

// The handler of the window hook. The trampolines below are the procedures
// installed on the host's windows; they run on each window's thread. Plain
// data, so that it stays in place through the runtime's shutdown: a module
// pinned at unload goes on forwarding.
constinit WindowMessageHandler* hook_handler = nullptr;

// A host may free the module from inside a message that passes through the
// hook (a plug-in unloaded from a menu command or WM_DESTROY), or from another
// thread while one does. Either would unmap the image under the hook's code,
// which still has to return to the system. So every message takes a
// reference on the module before it goes on, and gives it back through the
// release stub: a few instructions in memory of their own, outside the
// image, that call FreeLibrary and then return the message's result to the
// system themselves. When that FreeLibrary is the module's last, the module
// unloads then, on the window's thread, after the host's procedure has
// returned, and nothing of the image is left on the stack.
//
// The stub's memory is given back at unload, unless a message is still on
// its way out through it (the unload is that message's own FreeLibrary):
// then its two pages stay for the life of the process, the image itself does
// not. Pinning was the other way, and keeps the whole image.
struct ReleaseStub {
  static constexpr SIZE_T kPage = 4096;
  // Page 0 holds the code, page 1 the count of messages between taking their
  // reference and the stub's last instruction that touches the pages.
  static volatile LONG* in_release(void* pages) {
    return reinterpret_cast<volatile LONG*>(static_cast<char*>(pages) + kPage);
  }
};

// The stub, entered by a jump from a trampoline with the message's result in
// eax/rax and the module to free in ecx/rcx, the system's return address on
// top of the stack.
void* make_release_stub() {
  if (calls.virtual_alloc == nullptr || calls.virtual_free == nullptr ||
      calls.free_library == nullptr) {
    return nullptr;
  }
  void* pages =
      calls.virtual_alloc(nullptr, 2 * ReleaseStub::kPage, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
  if (pages == nullptr) return nullptr;
  auto* code = static_cast<unsigned char*>(pages);
  std::size_t at = 0;
  const auto emit = [&](std::initializer_list<unsigned char> bytes) {
    for (const unsigned char byte : bytes) code[at++] = byte;
  };
  const auto emit_address = [&](const void* address) {
    const auto value = reinterpret_cast<std::uintptr_t>(address);
    std::memcpy(code + at, &value, sizeof value);
    at += sizeof value;
  };
  const void* free_library = reinterpret_cast<const void*>(calls.free_library);
  const void* count = const_cast<const LONG*>(ReleaseStub::in_release(pages));
#if defined(__i386__)
  emit({0x50, 0x51});  // push eax; push ecx (FreeLibrary's argument)
  emit({0xB8});        // mov eax, FreeLibrary
  emit_address(free_library);
  emit({0xFF, 0xD0});              // call eax
  emit({0xF0, 0xFF, 0x0D});        // lock dec dword [count]
  emit_address(count);
  emit({0x58});                    // pop eax
  emit({0xC2, 0x10, 0x00});        // ret 16: the window procedure's four arguments
#else
  emit({0x50});                    // push rax
  emit({0x48, 0x83, 0xEC, 0x20});  // sub rsp, 32: FreeLibrary's shadow space
  emit({0x48, 0xB8});              // mov rax, FreeLibrary
  emit_address(free_library);
  emit({0xFF, 0xD0});              // call rax
  emit({0x48, 0x83, 0xC4, 0x20});  // add rsp, 32
  emit({0x48, 0xB9});              // mov rcx, count
  emit_address(count);
  emit({0xF0, 0xFF, 0x09});        // lock dec dword [rcx]
  emit({0x58});                    // pop rax
  emit({0xC3});                    // ret
#endif
  DWORD old_protection = 0;
  if (!VirtualProtect(pages, ReleaseStub::kPage, PAGE_EXECUTE_READ, &old_protection)) {
    calls.virtual_free(pages, 0, MEM_RELEASE);
    return nullptr;
  }
  return pages;
}

}  // namespace
}  // namespace korvex

extern "C" {

// Read by the trampolines: the stub's pages, nullptr while there are none.
constinit void* korvex_release_stub = nullptr;

LRESULT CALLBACK korvex_hook_ansi(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
LRESULT CALLBACK korvex_hook_wide(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

}  // extern "C"

namespace korvex {
namespace {

// Takes the module's reference for the stub to give back (held stays null
// where there is no stub or the system lacks the call: the message then runs
// without one, as on Windows 98 and 2000), then hands the message on.
LRESULT forward_message(TextForm form, HWND window, UINT message, WPARAM wparam, LPARAM lparam,
                        HMODULE* held) {
  void* const stub = korvex_release_stub;
  if (stub != nullptr && calls.get_module_handle_ex != nullptr) {
    HMODULE module = nullptr;
    if (calls.get_module_handle_ex(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                                   reinterpret_cast<LPCSTR>(&korvex_hook_ansi), &module)) {
      InterlockedIncrement(const_cast<LONG*>(ReleaseStub::in_release(stub)));
      *held = module;
    }
  }
  WindowMessageHandler* const handler = hook_handler;
  if (handler == nullptr) {
    if (form == TextForm::kWide && calls.def_window_proc_wide != nullptr) {
      return calls.def_window_proc_wide(window, message, wparam, lparam);
    }
    return DefWindowProcA(window, message, wparam, lparam);
  }
  return handler->handle_message(form, reinterpret_cast<WindowHandle>(window), message, wparam,
                                 lparam);
}

}  // namespace
}  // namespace korvex

extern "C" {

LRESULT WINAPI korvex_forward_ansi(HWND window, UINT message, WPARAM wparam, LPARAM lparam,
                                   HMODULE* held) {
  return korvex::forward_message(korvex::TextForm::kAnsi, window, message, wparam, lparam, held);
}

LRESULT WINAPI korvex_forward_wide(HWND window, UINT message, WPARAM wparam, LPARAM lparam,
                                   HMODULE* held) {
  return korvex::forward_message(korvex::TextForm::kWide, window, message, wparam, lparam, held);
}

}  // extern "C"

// The trampolines: window procedures that call korvex_forward_* with a slot
// for the module it holds, then leave either by a plain return (nothing held)
// or by a jump to the release stub, which returns to the system for them.
// Assembly, because only a jump keeps the image's code off the stack while
// the module is freed.
#if defined(__i386__)
#define KORVEX_TRAMPOLINE(form)                                                    \
  ".globl _korvex_hook_" #form "@16\n"                                             \
  "_korvex_hook_" #form "@16:\n"                                                   \
  "  subl $4, %esp\n"         /* the held module's slot */                         \
  "  movl $0, (%esp)\n"                                                            \
  "  pushl %esp\n"            /* its address, the fifth argument */                \
  "  pushl 24(%esp)\n"        /* lparam, wparam, message, window */                \
  "  pushl 24(%esp)\n"                                                             \
  "  pushl 24(%esp)\n"                                                             \
  "  pushl 24(%esp)\n"                                                             \
  "  call _korvex_forward_" #form "@20\n"                                          \
  "  popl %ecx\n"                                                                  \
  "  testl %ecx, %ecx\n"                                                           \
  "  jz 1f\n"                                                                      \
  "  jmp *_korvex_release_stub\n"                                                  \
  "1:\n"                                                                           \
  "  ret $16\n"
#else
#define KORVEX_TRAMPOLINE(form)                                                    \
  ".globl korvex_hook_" #form "\n"                                                 \
  ".def korvex_hook_" #form "; .scl 2; .type 32; .endef\n"                         \
  ".seh_proc korvex_hook_" #form "\n"                                              \
  "korvex_hook_" #form ":\n"                                                       \
  "  subq $56, %rsp\n"        /* shadow space, fifth argument, held slot */        \
  "  .seh_stackalloc 56\n"                                                         \
  "  .seh_endprologue\n"                                                           \
  "  movq $0, 40(%rsp)\n"                                                          \
  "  leaq 40(%rsp), %rax\n"                                                        \
  "  movq %rax, 32(%rsp)\n"                                                        \
  "  call korvex_forward_" #form "\n"                                              \
  "  movq 40(%rsp), %rcx\n"                                                        \
  "  addq $56, %rsp\n"                                                             \
  "  testq %rcx, %rcx\n"                                                           \
  "  jz 1f\n"                                                                      \
  "  jmp *korvex_release_stub(%rip)\n"                                             \
  "1:\n"                                                                           \
  "  ret\n"                                                                        \
  ".seh_endproc\n"
#endif

__asm__(".text\n" KORVEX_TRAMPOLINE(ansi) KORVEX_TRAMPOLINE(wide));

namespace korvex {
namespace {

HWND as_window(WindowHandle window) { return reinterpret_cast<HWND>(window); }

}  // namespace

void Win32Platform::look_up_system_calls() {
  const HMODULE kernel32 = GetModuleHandleA("kernel32.dll");
  look_up(calls.get_thread_error_mode, kernel32, "GetThreadErrorMode");
  look_up(calls.set_thread_error_mode, kernel32, "SetThreadErrorMode");
  look_up(calls.get_module_handle_ex, kernel32, "GetModuleHandleExA");
  look_up(calls.virtual_alloc, kernel32, "VirtualAlloc");
  look_up(calls.virtual_free, kernel32, "VirtualFree");
  look_up(calls.free_library, kernel32, "FreeLibrary");
  // Windows 98 has the wide window calls only as stubs that fail; a window
  // there is never Unicode, so they are never called.
  const HMODULE user32 = GetModuleHandleA("user32.dll");
  look_up(calls.is_window_unicode, user32, "IsWindowUnicode");
#if defined(_WIN64)
  look_up(calls.set_window_long_wide, user32, "SetWindowLongPtrW");
  look_up(calls.get_window_long_wide, user32, "GetWindowLongPtrW");
#else
  look_up(calls.set_window_long_wide, user32, "SetWindowLongW");
  look_up(calls.get_window_long_wide, user32, "GetWindowLongW");
#endif
  look_up(calls.call_window_proc_wide, user32, "CallWindowProcW");
  look_up(calls.def_window_proc_wide, user32, "DefWindowProcW");
  const bool wide_calls = calls.set_window_long_wide != nullptr &&
                          calls.get_window_long_wide != nullptr &&
                          calls.call_window_proc_wide != nullptr;
  if (!wide_calls) calls.is_window_unicode = nullptr;
}

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
  if (calls.get_thread_error_mode == nullptr) return false;
  if (mode != nullptr) *mode = calls.get_thread_error_mode();
  return true;
}

bool Win32Platform::set_thread_error_mode(std::uint32_t mode, std::uint32_t* previous) {
  if (calls.set_thread_error_mode == nullptr) return false;
  DWORD old_mode = 0;
  if (!calls.set_thread_error_mode(mode, &old_mode)) return false;
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

bool Win32Platform::is_window_unicode(WindowHandle window) {
  return calls.is_window_unicode != nullptr && calls.is_window_unicode(as_window(window)) != 0;
}

WindowProcedure Win32Platform::set_window_procedure_wide(WindowHandle window,
                                                         WindowProcedure procedure) {
  if (calls.set_window_long_wide == nullptr) return 0;
  return static_cast<WindowProcedure>(
      calls.set_window_long_wide(as_window(window), GWLP_WNDPROC, static_cast<LONG_PTR>(procedure)));
}

WindowProcedure Win32Platform::get_window_procedure_wide(WindowHandle window) {
  if (calls.get_window_long_wide == nullptr) return 0;
  return static_cast<WindowProcedure>(calls.get_window_long_wide(as_window(window), GWLP_WNDPROC));
}

MessageResult Win32Platform::call_window_procedure_wide(WindowProcedure procedure,
                                                        WindowHandle window, std::uint32_t message,
                                                        std::uintptr_t wparam,
                                                        std::intptr_t lparam) {
  if (calls.call_window_proc_wide == nullptr) return 0;
  return calls.call_window_proc_wide(reinterpret_cast<WNDPROC>(procedure), as_window(window),
                                     message, wparam, lparam);
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
  return reinterpret_cast<WindowProcedure>(&korvex_hook_ansi);
}

WindowProcedure Win32Platform::hook_procedure_wide() {
  return reinterpret_cast<WindowProcedure>(&korvex_hook_wide);
}

void Win32Platform::set_hook_handler(WindowMessageHandler* handler) {
  hook_handler = handler;
  if (handler != nullptr) {
    if (korvex_release_stub == nullptr) korvex_release_stub = make_release_stub();
    return;
  }
  void* const stub = korvex_release_stub;
  korvex_release_stub = nullptr;
  if (stub != nullptr && *ReleaseStub::in_release(stub) == 0) {
    calls.virtual_free(stub, 0, MEM_RELEASE);
  }
}

// Windows 98, ME and 2000 lack the call: there the module cannot pin itself.
void Win32Platform::pin_module() {
  if (calls.get_module_handle_ex == nullptr) return;
  HMODULE module = nullptr;
  calls.get_module_handle_ex(GET_MODULE_HANDLE_EX_FLAG_PIN | GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                             reinterpret_cast<LPCSTR>(&korvex_hook_ansi), &module);
}

void Win32Platform::message_box(const char* text, const char* caption, std::uint32_t style) {
  MessageBoxA(nullptr, text, caption, style);
}

}  // namespace korvex
