// The thread's last error belongs to the host: every export of the real DLL
// but GetHddInfo leaves it as it found it, also where the export's own
// system calls fail (a window handle the system refuses, a code without a
// message text, drives that cannot be read).
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "export_arguments.h"
#include "korvex_dll.h"
#include "module/export_table.h"
#include "module_caller.h"

namespace korvex::tests {
namespace {

TEST(DllLastError, EveryExportButGetHddInfoLeavesTheHostsCode) {
  constexpr DWORD kHostsCode = 0x2000FFFF;  // a code without a message text
  KorvexDll dll;
  ASSERT_TRUE(dll.loaded());
  for (const ExportEntry& entry : kExports) {
    if (entry.name == "GetHddInfo") continue;
    const std::string name(entry.name);
    SCOPED_TRACE(name);
    const std::vector<host_tool::Argument> arguments = ordinary_arguments(entry);
    dll.set_data(0);
    SetLastError(kHostsCode);
    host_tool::call_export(entry, dll.find<void*>(name.c_str()), arguments);
    EXPECT_EQ(GetLastError(), kHostsCode);
  }
}

TEST(DllLastError, GetHddInfoLeavesTheCodeItReports) {
  KorvexDll dll;
  ASSERT_TRUE(dll.loaded());
  SetLastError(0);
  const auto [serial, code] = dll.hdd_info(12);
  EXPECT_NE(code, 0) << "no disk 12 answers under Wine";
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(code));
}

}  // namespace
}  // namespace korvex::tests
