// The host program's script language: one export call a line.
#pragma once

#include <istream>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "module_caller.h"

namespace korvex::host_tool {

// A line that cannot be run: it names the line.
struct ScriptError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

struct ScriptCall {
  const ExportEntry* entry;
  std::vector<Argument> arguments;
};

// Parses one line; an empty optional for a blank or comment line. A comment
// starts at a "#" that starts a word outside a text, and runs to the end.
std::optional<ScriptCall> parse_script_line(const std::string& line);

// Runs every line, printing "NAME -> VALUE" for each export that returns one.
// A UTF-8 byte-order mark at the start is skipped.
void run_script(std::istream& script, const ModuleBinding& binding, std::ostream& out);

}  // namespace korvex::host_tool
