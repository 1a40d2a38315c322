// The report korvex-host prints when it runs no script: what the module says
// about itself, the machine's drives and its physical disks 0 and 1, asked
// through its exports, as aligned text or as JSON.
#pragma once

#include <array>
#include <cstdint>
#include <ostream>
#include <string_view>

#include "module_binding.h"

namespace korvex::host_tool {

// The units SetAlign's mode (slot 0) chooses, by the name --unit takes.
struct SizeUnit {
  std::string_view name;
  std::int32_t mode;
};
inline constexpr std::array<SizeUnit, 5> kSizeUnits = {{
    {"auto", -1},
    {"B", 0},
    {"KB", 1},
    {"MB", 2},
    {"GB", 3},
}};
inline constexpr std::int32_t kMostDecimals = 5;

struct ReportOptions {
  SizeUnit unit = kSizeUnits[0];
  std::int32_t decimals = 1;  // the module's own setting at load
  bool json = false;
};

void print_report(HostBinding& binding, const ReportOptions& options, std::ostream& out);

}  // namespace korvex::host_tool
