// What the C++ runtime linked into Korvex.dll takes from the system and never
// gives back, because it expects to live until the process ends: the
// unwinder's lock (a semaphore made at every load, i686), the lock of
// function-local statics, after the first exception a lock and a TLS slot for
// per-thread data, and its reserve memory for exceptions. A host that loads
// and frees the module again and again would lose them on every load, and run
// out of TLS slots after a thousand or so.
//
// Of the ways to give them back, this one needs neither the runtime's
// internals nor a thread model with per-thread records: the link routes the
// DLL's CreateSemaphoreW, CloseHandle, TlsAlloc and TlsFree import slots
// through the recorders below (ld --wrap on the import symbols) and makes
// korvex_dll_entry the DLL's entry point (both in CMakeLists.txt). It runs
// mingw's own entry point and, once that has finished a FreeLibrary's unload
// or a failed load, closes the semaphores and frees the TLS slots the runtime
// still holds, and its reserve memory. It runs no TLS callbacks by hand:
// Windows XP never calls them for a DLL loaded with LoadLibrary.
#include <windows.h>

#include <array>
#include <atomic>

// libstdc++'s release of its reserve exception memory.
namespace __gnu_cxx {
void __freeres();
}

// The linker's names of the import slots and of their --wrap stand-ins: on
// i686 they carry one more leading underscore than the C names, and the
// stdcall size of the arguments.
#if defined(__i386__)
#define KORVEX_IMPORT_SLOT(role, name, argument_bytes) \
  "___" role "__imp__" #name "@" #argument_bytes
#else
#define KORVEX_IMPORT_SLOT(role, name, argument_bytes) "__" role "___imp_" #name
#endif

namespace {

// The objects the runtime holds at a time: a handful. An object that finds
// the record full stays with the runtime, as it would without the record.
// Value{} marks a free entry.
template <typename Value>
class Record {
 public:
  void add(Value value) {
    for (std::atomic<Value>& entry : entries_) {
      Value free_entry{};
      if (entry.compare_exchange_strong(free_entry, value)) return;
    }
  }

  void forget(Value value) {
    for (std::atomic<Value>& entry : entries_) {
      Value recorded = value;
      if (entry.compare_exchange_strong(recorded, Value{})) return;
    }
  }

  template <typename Release>
  void release_all(Release release) {
    for (std::atomic<Value>& entry : entries_) {
      const Value value = entry.exchange(Value{});
      if (value != Value{}) release(value);
    }
  }

 private:
  std::array<std::atomic<Value>, 16> entries_{};
};

// Filled from the runtime's earliest start-up code, before any dynamic
// initialisation runs: constant-initialised.
constinit Record<HANDLE> semaphores;
// Slot 0 is a real slot: the record keeps slot + 1.
constinit Record<DWORD> tls_slots_plus_one;

using CreateSemaphoreWFunction = HANDLE(WINAPI*)(LPSECURITY_ATTRIBUTES, LONG, LONG, LPCWSTR);
using CloseHandleFunction = BOOL(WINAPI*)(HANDLE);
using TlsAllocFunction = DWORD(WINAPI*)();
using TlsFreeFunction = BOOL(WINAPI*)(DWORD);

}  // namespace

extern "C" {
extern CloseHandleFunction real_close_handle __asm__(KORVEX_IMPORT_SLOT("real", CloseHandle, 4));
extern TlsAllocFunction real_tls_alloc __asm__(KORVEX_IMPORT_SLOT("real", TlsAlloc, 0));
extern TlsFreeFunction real_tls_free __asm__(KORVEX_IMPORT_SLOT("real", TlsFree, 4));
}

namespace {

// The runtime's semaphores are made with the ANSI call: Windows 98 SE and Me
// have CreateSemaphoreW only as a stub that fails, and without its semaphores
// the runtime's locks exclude nothing. Its semaphores have no name, which
// both calls treat alike, so the DLL imports no CreateSemaphoreW at all; a
// named one, which the runtime never asks for, is refused.
HANDLE WINAPI recording_create_semaphore(LPSECURITY_ATTRIBUTES attributes, LONG initial,
                                         LONG maximum, LPCWSTR name) {
  if (name != nullptr) {
    SetLastError(ERROR_INVALID_NAME);
    return nullptr;
  }
  const HANDLE semaphore = CreateSemaphoreA(attributes, initial, maximum, nullptr);
  if (semaphore != nullptr) semaphores.add(semaphore);
  return semaphore;
}

// Every CloseHandle of the DLL passes here, the module's device handles too;
// what the runtime closes itself is forgotten, so nothing is closed twice.
BOOL WINAPI recording_close_handle(HANDLE handle) {
  semaphores.forget(handle);
  return real_close_handle(handle);
}

DWORD WINAPI recording_tls_alloc() {
  const DWORD slot = real_tls_alloc();
  if (slot != TLS_OUT_OF_INDEXES) tls_slots_plus_one.add(slot + 1);
  return slot;
}

BOOL WINAPI recording_tls_free(DWORD slot) {
  tls_slots_plus_one.forget(slot + 1);
  return real_tls_free(slot);
}

void release_runtime_objects() {
  semaphores.release_all([](HANDLE semaphore) { real_close_handle(semaphore); });
  tls_slots_plus_one.release_all([](DWORD slot_plus_one) { real_tls_free(slot_plus_one - 1); });
  __gnu_cxx::__freeres();
}

}  // namespace

extern "C" {

constinit CreateSemaphoreWFunction wrapped_create_semaphore __asm__(
    KORVEX_IMPORT_SLOT("wrap", CreateSemaphoreW, 16)) = recording_create_semaphore;
constinit CloseHandleFunction wrapped_close_handle __asm__(
    KORVEX_IMPORT_SLOT("wrap", CloseHandle, 4)) = recording_close_handle;
constinit TlsAllocFunction wrapped_tls_alloc __asm__(KORVEX_IMPORT_SLOT("wrap", TlsAlloc, 0)) =
    recording_tls_alloc;
constinit TlsFreeFunction wrapped_tls_free __asm__(KORVEX_IMPORT_SLOT("wrap", TlsFree, 4)) =
    recording_tls_free;

// mingw-w64's entry point of a DLL: the C runtime's start-up and shutdown
// around DllMain (static constructors, atexit functions, static destructors).
BOOL WINAPI DllMainCRTStartup(HANDLE instance, DWORD reason, LPVOID reserved);

BOOL WINAPI korvex_dll_entry(HANDLE instance, DWORD reason, LPVOID reserved) {
  const BOOL result = DllMainCRTStartup(instance, reason, reserved);
  // A process that ends takes everything with it; a FreeLibrary, or a load
  // that fails, leaves the host running. No code of the module runs after this.
  const bool freed = reason == DLL_PROCESS_DETACH && reserved == nullptr;
  const bool load_failed = reason == DLL_PROCESS_ATTACH && !result;
  if (freed || load_failed) release_runtime_objects();
  return result;
}

}  // extern "C"
