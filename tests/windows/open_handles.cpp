#include "open_handles.h"

#include <windows.h>

#include <stdexcept>
#include <vector>

namespace korvex::tests {

std::size_t open_handles() {
  struct Entry {
    void* object;
    ULONG_PTR process;
    ULONG_PTR handle;
    ULONG access;
    USHORT creator_back_trace;
    USHORT type;
    ULONG attributes;
    ULONG reserved;
  };
  struct Table {
    ULONG_PTR count;
    ULONG_PTR reserved;
    Entry entries[1];
  };
  constexpr ULONG kSystemExtendedHandleInformation = 64;
  constexpr LONG kInfoLengthMismatch = static_cast<LONG>(0xC0000004);
  using Query = LONG(WINAPI*)(ULONG, void*, ULONG, ULONG*);
  const auto query = reinterpret_cast<Query>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQuerySystemInformation")));
  std::vector<char> buffer(1 << 16);
  ULONG length = 0;
  LONG status;
  while ((status = query(kSystemExtendedHandleInformation, buffer.data(),
                         static_cast<ULONG>(buffer.size()), &length)) == kInfoLengthMismatch) {
    buffer.resize(buffer.size() * 2);
  }
  if (status != 0) throw std::runtime_error("no handle list");
  const auto* table = reinterpret_cast<const Table*>(buffer.data());
  std::size_t mine = 0;
  for (ULONG_PTR i = 0; i < table->count; ++i) {
    if (table->entries[i].process == GetCurrentProcessId()) ++mine;
  }
  return mine;
}

}  // namespace korvex::tests
