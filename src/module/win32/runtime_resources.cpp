// The C++ runtime linked into the DLL keeps, for each load, things it gives
// back only when a thread or the process ends: a record of every thread that
// ran its code (with a duplicate of the thread's handle and an event), TLS
// slots for its per-thread data, and a reserve pool for exceptions. A host
// that loads and frees the module again and again would lose some of each on
// every load, and run out of TLS slots after a thousand or so.
//
// The link routes the runtime's TlsAlloc import slot through the recorder
// below (ld --wrap on the import symbol; see CMakeLists.txt), which notes the
// slots the runtime took, for release at unload.
#include "module/win32/runtime_resources.h"

#include <algorithm>
#include <array>
#include <atomic>

// libstdc++'s release of its reserve exception pool.
namespace __gnu_cxx {
void __freeres();
}

namespace {

using TlsAllocFunction = DWORD(WINAPI*)();

// The runtime takes its slots in its earliest start-up code, before any
// dynamic initialisation of this file could run: the record is constant-initialised.
class RecordedSlots {
 public:
  void add(DWORD slot) {
    const std::size_t at = count_.fetch_add(1);
    if (at < slots_.size()) slots_[at] = slot;
  }

  void release_all() {
    const std::size_t count = std::min(count_.exchange(0), slots_.size());
    for (std::size_t i = count; i-- > 0;) TlsFree(slots_[i]);
  }

 private:
  // The runtime takes a few; any beyond these stay with it, as without the record.
  std::array<DWORD, 16> slots_{};
  std::atomic<std::size_t> count_{0};
};

constinit RecordedSlots tls_slots;

}  // namespace

// The real import slot and the replacement --wrap substitutes for it. On i686
// the linker's names carry one more leading underscore than the C names.
extern "C" TlsAllocFunction real_tls_alloc __asm__("___real__imp__TlsAlloc@0");

namespace {

DWORD WINAPI recording_tls_alloc() {
  const DWORD slot = real_tls_alloc();
  if (slot != TLS_OUT_OF_INDEXES) tls_slots.add(slot);
  return slot;
}

// The runtime's thread-detach handlers are its only way to give back what it
// keeps for a thread; the thread that frees the module goes on running.
void finish_calling_thread(HINSTANCE instance) {
  const auto* base = reinterpret_cast<const BYTE*>(instance);
  const auto* headers = reinterpret_cast<const IMAGE_NT_HEADERS*>(
      base + reinterpret_cast<const IMAGE_DOS_HEADER*>(base)->e_lfanew);
  const IMAGE_DATA_DIRECTORY& directory =
      headers->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_TLS];
  if (directory.Size == 0) return;
  const auto* tls = reinterpret_cast<const IMAGE_TLS_DIRECTORY*>(base + directory.VirtualAddress);
  for (auto* callback = reinterpret_cast<const PIMAGE_TLS_CALLBACK*>(tls->AddressOfCallBacks);
       callback != nullptr && *callback != nullptr; ++callback) {
    (*callback)(instance, DLL_THREAD_DETACH, nullptr);
  }
}

}  // namespace

extern "C" {
constinit TlsAllocFunction wrapped_tls_alloc __asm__("___wrap__imp__TlsAlloc@0") =
    recording_tls_alloc;
}

namespace korvex {

// The thread-detach handlers still need the slots; the runtime's own
// shutdown, which runs after this, needs none of what is given back here.
void release_runtime_resources(HINSTANCE instance) {
  finish_calling_thread(instance);
  __gnu_cxx::__freeres();
  tls_slots.release_all();
}

}  // namespace korvex
