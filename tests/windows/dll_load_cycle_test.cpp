// A host that loads the module, uses it and frees it, again and again, must
// keep its handles and memory: whatever one load takes, its unload gives back.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "korvex_dll.h"
#include "open_handles.h"
#include "recording_window.h"

namespace korvex::tests {
namespace {

// Wine's GetProcessHandleCount always says 0 and its GetProcessMemoryInfo
// grows with every DLL load of any kind, so the counts come from the system's
// handle list, the heaps' busy blocks and the committed pages, and the TLS
// slot the system hands out next.
struct ProcessCounts {
  std::size_t handles = 0;
  std::size_t heap_bytes = 0;
  std::size_t committed_bytes = 0;
  DWORD next_tls_slot = 0;
};

std::size_t busy_heap_bytes() {
  std::vector<HANDLE> heaps(GetProcessHeaps(0, nullptr) + 8);
  heaps.resize(GetProcessHeaps(static_cast<DWORD>(heaps.size()), heaps.data()));
  std::size_t total = 0;
  for (const HANDLE heap : heaps) {
    PROCESS_HEAP_ENTRY entry{};
    HeapLock(heap);
    while (HeapWalk(heap, &entry)) {
      if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) total += entry.cbData;
    }
    HeapUnlock(heap);
  }
  return total;
}

std::size_t committed_bytes() {
  std::size_t total = 0;
  MEMORY_BASIC_INFORMATION region{};
  for (const char* at = nullptr; VirtualQuery(at, &region, sizeof region) == sizeof region;) {
    if (region.State == MEM_COMMIT) total += region.RegionSize;
    const char* next = static_cast<const char*>(region.BaseAddress) + region.RegionSize;
    if (next <= at) break;
    at = next;
  }
  return total;
}

DWORD next_tls_slot() {
  const DWORD slot = TlsAlloc();
  TlsFree(slot);
  return slot;
}

// Each measure frees what it allocated before the next one looks.
ProcessCounts measure() {
  ProcessCounts counts;
  counts.handles = open_handles();
  counts.heap_bytes = busy_heap_bytes();
  counts.committed_bytes = committed_bytes();
  counts.next_tls_slot = next_tls_slot();
  return counts;
}

void load_use_and_free(HWND window) {
  KorvexDll dll;
  ASSERT_TRUE(dll.loaded());
  dll.set_data(3);
  dll.set_file("ID_OnEnum");
  dll.set_file("Scan");
  dll.call("RenameEvent");
  dll.find<KorvexSetPathProc>("SetPath")("C:\\Host");
  dll.find<KorvexDrawProc>("Draw")(0, 10, 20, 30, 40);
  dll.set_parent_window(reinterpret_cast<std::uintptr_t>(window));
  SetLastError(ERROR_FILE_NOT_FOUND);
  dll.call("GetErrorMessage");
  EXPECT_FALSE(dll.get_file().empty());
  EXPECT_EQ(dll.get_data(), 0);
  dll.text_of("GetInfo");
}

TEST(DllLoadCycle, AThousandLoadsWithCallsLeaveHandlesAndMemoryExactlyAsTheyWere) {
  constexpr int kLoads = 1000;
  RecordingWindow window('a');
  // The first loads settle what the system keeps for the process's first use
  // of a DLL; a leak shows as growth across the loads after them.
  for (int i = 0; i < 5; ++i) load_use_and_free(window.handle());
  const ProcessCounts before = measure();
  for (int i = 0; i < kLoads; ++i) load_use_and_free(window.handle());
  const ProcessCounts after = measure();

  EXPECT_EQ(after.handles, before.handles);
  EXPECT_EQ(after.next_tls_slot, before.next_tls_slot);
  EXPECT_EQ(after.heap_bytes, before.heap_bytes);
  EXPECT_EQ(after.committed_bytes, before.committed_bytes);
  EXPECT_EQ(window.current_procedure(), window.own_procedure());
  EXPECT_EQ(SendMessageA(window.handle(), WM_USER, 1, 2), 3);
}

// Texts of 64 MiB pushed into every text slot, the path and an event name,
// then pushed out by small ones, are given back while the module stays
// loaded: a 32-bit host could not afford to lose the address space.
TEST(DllLoadCycle, HugeTextsPushedOutLeaveNoHeapBehind) {
  const std::string huge(64u << 20, 'x');
  KorvexDll dll;
  ASSERT_TRUE(dll.loaded());
  const auto set_path = dll.find<void(__cdecl*)(const char*)>("SetPath");
  const auto rename_event = [&](const char* name) {
    dll.set_file("ID_OnEnum");
    dll.set_file(name);
    dll.call("RenameEvent");
  };
  rename_event("Scan");
  set_path("C:\\Host");
  for (int i = 0; i < 5; ++i) dll.set_file("small");
  const std::size_t before = busy_heap_bytes();

  rename_event(huge.c_str());
  set_path(huge.c_str());
  for (int i = 0; i < 5; ++i) dll.set_file(huge.c_str());
  rename_event("Scan");
  set_path("C:\\Host");
  for (int i = 0; i < 5; ++i) dll.set_file("small");
  const std::size_t after = busy_heap_bytes();
  std::printf("heap bytes after the huge texts were pushed out: %+lld\n",
              static_cast<long long>(after) - static_cast<long long>(before));
  EXPECT_LE(after, before + 64 * 1024);
}

}  // namespace
}  // namespace korvex::tests
