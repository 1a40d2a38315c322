// The report korvex-host prints when it runs no script: what the module says
// about itself, the machine's drives and its physical disks 0 and 1, asked
// through its exports.
#pragma once

#include <ostream>

#include "module_caller.h"

namespace korvex::host_tool {

void print_report(const ModuleCaller& module, std::ostream& out);

}  // namespace korvex::host_tool
