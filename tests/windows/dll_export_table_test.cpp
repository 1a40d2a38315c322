// The loaded Korvex.dll's export directory against the module's export table:
// the directory's name, ordinal base 1, and exactly the table's names at the
// table's ordinals, with no unnamed entry.
#include <windows.h>

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "korvex_dll.h"
#include "module/export_table.h"

namespace korvex::tests {
namespace {

struct ExportDirectory {
  std::string name;
  DWORD ordinal_base = 0;
  DWORD functions = 0;
  std::map<std::string, DWORD> ordinals;  // by name
};

ExportDirectory export_directory(HMODULE module) {
  const auto* base = reinterpret_cast<const BYTE*>(module);
  const auto* headers = reinterpret_cast<const IMAGE_NT_HEADERS*>(
      base + reinterpret_cast<const IMAGE_DOS_HEADER*>(base)->e_lfanew);
  const IMAGE_DATA_DIRECTORY& entry =
      headers->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
  const auto* directory = reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(base + entry.VirtualAddress);
  const auto* names = reinterpret_cast<const DWORD*>(base + directory->AddressOfNames);
  const auto* indices = reinterpret_cast<const WORD*>(base + directory->AddressOfNameOrdinals);
  ExportDirectory result{reinterpret_cast<const char*>(base + directory->Name), directory->Base,
                         directory->NumberOfFunctions, {}};
  for (DWORD i = 0; i < directory->NumberOfNames; ++i) {
    result.ordinals[reinterpret_cast<const char*>(base + names[i])] = directory->Base + indices[i];
  }
  return result;
}

TEST(DllExportTable, HoldsExactlyTheTablesExportsAtTheirOrdinals) {
  KorvexDll dll;
  ASSERT_TRUE(dll.loaded());
  const ExportDirectory directory = export_directory(GetModuleHandleA("Korvex.dll"));
  EXPECT_EQ(directory.name, "Korvex.dll");
  EXPECT_EQ(directory.ordinal_base, 1u);
  EXPECT_EQ(directory.functions, kExports.size()) << "no entry without a name";
  std::map<std::string, DWORD> expected;
  for (const ExportEntry& entry : kExports) {
    expected[std::string(entry.name)] = static_cast<DWORD>(entry.ordinal);
  }
  EXPECT_EQ(directory.ordinals, expected);
}

}  // namespace
}  // namespace korvex::tests
