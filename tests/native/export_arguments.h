// Arguments of each export's shape that an export may meet from any host: no
// drive index that exists, a root path as text, a handle that is no window.
// The suites that call every export in turn, natively and through the DLL,
// share them.
#pragma once

#include <vector>

#include "module/export_table.h"
#include "module_caller.h"

namespace korvex::tests {

inline std::vector<host_tool::Argument> ordinary_arguments(const ExportEntry& entry) {
  using Kind = host_tool::Argument::Kind;
  switch (entry.arguments) {
    case Arguments::kNone: return {};
    case Arguments::kInteger: return {{Kind::kInteger, 0, {}}};
    case Arguments::kText: return {{Kind::kText, 0, "C:\\"}};
    case Arguments::kWindow: return {{Kind::kInteger, 0xBAD, {}}};
    case Arguments::kFiveIntegers:
      return std::vector<host_tool::Argument>(5, {Kind::kInteger, 1, {}});
  }
  return {};
}

}  // namespace korvex::tests
