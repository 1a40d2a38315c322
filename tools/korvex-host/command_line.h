// korvex-host's command line: what to do and with which options.
#pragma once

#include <stdexcept>
#include <string>
#include <vector>

#include "module_binding.h"
#include "report.h"

namespace korvex::host_tool {

// A command line that cannot be followed: the message names the argument.
struct UsageError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

struct CommandLine {
  enum class Action { kReport, kScript, kHelp, kVersion };
  Action action = Action::kReport;
  std::string script_path;  // "-" for standard input
  BindingOptions binding;
  ReportOptions report;
};

// The arguments after the program's name. Help wins over whatever follows it.
CommandLine parse_command_line(const std::vector<std::string>& arguments);

// The synopsis, and the help text: every option, the script language, the
// exports with the arguments each takes, and the exit statuses.
inline constexpr const char* kSynopsis = "usage: korvex-host [options] [SCRIPT | -]";
void print_help(std::ostream& out);

}  // namespace korvex::host_tool
