// A host process that ends while one of its threads is inside an export: the
// system ends that thread first, holding the module lock, and then tells the
// module the process detaches. The module must not wait for the lock then:
// newer Windows end a process that does with another exit code. (Wine lets a
// thread enter any critical section once the process shuts down, so there a
// module that takes its lock at process exit passes too.)
//
// The case runs this program again as a child, which blocks a thread inside
// ListDrives (its GetDriveTypeA import slot leads to a function that never
// returns) and then ends the process.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "korvex_dll.h"
#include "thread.h"

namespace korvex::tests {
namespace {

constexpr char kChildVariable[] = "KORVEX_PROCESS_EXIT_CHILD";
constexpr UINT kChildExitCode = 73;

HANDLE inside_export = nullptr;

UINT WINAPI never_returning_drive_type(LPCSTR) {
  SetEvent(inside_export);
  Sleep(INFINITE);
  return DRIVE_UNKNOWN;
}

// The module's import slot of KERNEL32.dll's NAME, or nullptr.
void** import_slot(HMODULE module, const char* name) {
  auto* const base = reinterpret_cast<unsigned char*>(module);
  const auto* const dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  const auto* const nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  const IMAGE_DATA_DIRECTORY& imports =
      nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  for (auto* descriptor = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
       descriptor->Name != 0; ++descriptor) {
    if (_stricmp(reinterpret_cast<const char*>(base + descriptor->Name), "KERNEL32.dll") != 0) continue;
    const auto* names = reinterpret_cast<const IMAGE_THUNK_DATA*>(base + descriptor->OriginalFirstThunk);
    auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + descriptor->FirstThunk);
    for (; names->u1.AddressOfData != 0; ++names, ++slots) {
      if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
      const auto* by_name = reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
      if (std::strcmp(reinterpret_cast<const char*>(by_name->Name), name) == 0) {
        return reinterpret_cast<void**>(&slots->u1.Function);
      }
    }
  }
  return nullptr;
}

[[noreturn]] void run_as_child() {
  KorvexDll dll;
  if (!dll.loaded()) ExitProcess(1);
  void** const slot = import_slot(GetModuleHandleA("Korvex.dll"), "GetDriveTypeA");
  DWORD protection = 0;
  if (slot == nullptr || !VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &protection)) {
    ExitProcess(2);
  }
  *slot = reinterpret_cast<void*>(&never_returning_drive_type);
  inside_export = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  // Never joined: the process ends with the thread inside the export.
  const Thread lister([&dll] { dll.call("ListDrives"); });
  if (WaitForSingleObject(inside_export, 30000) != WAIT_OBJECT_0) ExitProcess(3);
  ExitProcess(kChildExitCode);
}

TEST(DllProcessExit, EndsAtOnceWhileAThreadInsideAnExportHoldsTheLock) {
  if (GetEnvironmentVariableA(kChildVariable, nullptr, 0) != 0) run_as_child();

  char program[MAX_PATH] = {};
  ASSERT_NE(GetModuleFileNameA(nullptr, program, MAX_PATH), 0u);
  std::string command = std::string("\"") + program + "\" --gtest_filter=DllProcessExit.*";
  ASSERT_TRUE(SetEnvironmentVariableA(kChildVariable, "1"));
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION child{};
  const BOOL started = CreateProcessA(program, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                      nullptr, &startup, &child);
  SetEnvironmentVariableA(kChildVariable, nullptr);
  ASSERT_TRUE(started) << GetLastError();
  CloseHandle(child.hThread);

  // A module that waits for the lock at process exit never ends (or, on
  // newer Windows, is ended with another code).
  const bool ended = WaitForSingleObject(child.hProcess, 60000) == WAIT_OBJECT_0;
  if (!ended) TerminateProcess(child.hProcess, 0);
  DWORD exit_code = 0;
  GetExitCodeProcess(child.hProcess, &exit_code);
  CloseHandle(child.hProcess);
  ASSERT_TRUE(ended) << "the child still waits at process exit";
  EXPECT_EQ(exit_code, kChildExitCode);
}

}  // namespace
}  // namespace korvex::tests
