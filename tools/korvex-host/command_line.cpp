#include "command_line.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <optional>
#include <ostream>
#include <string_view>

#include "module/export_table.h"
#include "support/quoted_text.h"

namespace korvex::host_tool {
namespace {

bool same_letters(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) ==
           std::tolower(static_cast<unsigned char>(y));
  });
}

SizeUnit size_unit(const std::string& name) {
  for (const SizeUnit& unit : kSizeUnits) {
    if (same_letters(unit.name, name)) return unit;
  }
  throw UsageError("--unit takes auto, B, KB, MB or GB, not " + quoted_excerpt(name));
}

std::int32_t decimals(const std::string& text) {
  std::int32_t value = -1;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || value < 0 ||
      value > kMostDecimals) {
    throw UsageError("--decimals takes 0 to " + std::to_string(kMostDecimals) + ", not " +
                     quoted_excerpt(text));
  }
  return value;
}

// "-" alone is standard input; "/?" is how Windows programs are asked for help.
bool is_option(const std::string& argument) {
  return (argument.size() > 1 && argument[0] == '-') || argument == "/?";
}

}  // namespace

CommandLine parse_command_line(const std::vector<std::string>& arguments) {
  CommandLine line;
  std::optional<std::string> report_option;  // the first one given, for the message
  bool options_ended = false;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    if (options_ended || !is_option(argument)) {
      if (!line.script_path.empty()) {
        throw UsageError("one script at a time, not " + quoted_excerpt(line.script_path) +
                         " and " + quoted_excerpt(argument));
      }
      line.script_path = argument;
      continue;
    }
    // A value goes in the next argument, or after "=" in the same one.
    const std::size_t equals =
        argument.rfind("--", 0) == 0 ? argument.find('=') : std::string::npos;
    const std::string name = argument.substr(0, equals);
    std::optional<std::string> attached;
    if (equals != std::string::npos) attached = argument.substr(equals + 1);
    const auto value = [&](const char* what) {
      if (attached) return *attached;
      if (i + 1 == arguments.size()) throw UsageError(name + " needs " + what);
      return arguments[++i];
    };
    const auto flag = [&] {
      if (attached) throw UsageError(name + " takes no value");
    };

    if (name == "--help" || name == "-h" || name == "/?") {
      flag();
      line.action = CommandLine::Action::kHelp;
      return line;
    } else if (name == "--") {
      options_ended = true;
    } else if (name == "--version") {
      flag();
      line.action = CommandLine::Action::kVersion;
    } else if (name == "--module") {
      line.binding.module_path = value("a path");
    } else if (name == "--machine") {
      line.binding.machine_path = value("a file");
    } else if (name == "--trace") {
      flag();
      line.binding.trace = true;
    } else if (name == "--unit") {
      line.report.unit = size_unit(value("a unit"));
      report_option = report_option.value_or(name);
    } else if (name == "--decimals") {
      line.report.decimals = decimals(value("a number"));
      report_option = report_option.value_or(name);
    } else if (name == "--json") {
      flag();
      line.report.json = true;
      report_option = report_option.value_or(name);
    } else {
      throw UsageError("unknown option " + quoted_excerpt(name));
    }
  }

  if (line.action == CommandLine::Action::kVersion) {
    if (!line.script_path.empty() || report_option) {
      throw UsageError("--version runs no script and prints no report");
    }
    return line;
  }
  if (!line.script_path.empty()) {
    if (report_option) {
      throw UsageError(*report_option + " shapes the report, which runs without a script");
    }
    line.action = CommandLine::Action::kScript;
  }
  return line;
}

namespace {

// One group of the exports the help lists, in the table's order, its names
// wrapped into lines of at most 79 columns.
template <typename InGroup>
void print_export_group(const char* heading, InGroup in_group, std::ostream& out) {
  constexpr std::size_t kWidth = 79;
  std::string line = std::string("  ") + heading + ":";
  for (const ExportEntry& entry : kExports) {
    if (!in_group(entry)) continue;
    if (line.size() + 1 + entry.name.size() > kWidth) {
      out << line << '\n';
      line = "   ";
    }
    line += ' ';
    line += entry.name;
  }
  out << line << '\n';
}

void print_exports(std::ostream& out) {
  const auto taking = [](Arguments arguments) {
    return [arguments](const ExportEntry& entry) { return entry.arguments == arguments; };
  };
  const auto returning = [](Returns returns) {
    return [returns](const ExportEntry& entry) { return entry.returns == returns; };
  };
  out << "Exports, by the arguments a script line gives them:\n";
  print_export_group("no arguments", taking(Arguments::kNone), out);
  print_export_group("1 integer", taking(Arguments::kInteger), out);
  print_export_group("1 text or null", taking(Arguments::kText), out);
  print_export_group("1 integer, a window handle", taking(Arguments::kWindow), out);
  print_export_group("5 integers", taking(Arguments::kFiveIntegers), out);
  out << "Exports that print a value:\n";
  print_export_group("a text", returning(Returns::kText), out);
  print_export_group("an integer", returning(Returns::kNumber), out);
}

}  // namespace

void print_help(std::ostream& out) {
  out << kSynopsis << "\n"
      << R"(
Calls the Korvex module's exports the way a host application does. With a
SCRIPT (- for standard input) it runs the script; without one it prints the
report. korvex-host.exe (Windows build) loads Korvex.dll; korvex-host (native
build) runs the module's code on a simulated machine.

Options (a value follows its option, or is attached to it with "="):
  -h, --help, /?    print this help and exit
  --version         print korvex-host's version and the module's, and exit
  --module PATH     Windows build: the Korvex.dll to load (default: the one
                    beside korvex-host.exe)
  --machine FILE    native build: the simulated machine, a JSON file (default:
                    a machine without drives or disks)
  --trace           native build: write every system call the module makes to
                    standard error
  --unit UNIT       the report's sizes: auto (the default: the module picks B,
                    KB, MB or GB by the size), B, KB, MB or GB
  --decimals N      the report's sizes with exactly N decimals, 0 to 5
                    (default 1): the module rounds to N and drops trailing
                    zeros, the report writes them back, so that a column's
                    points line up; sizes in bytes are whole
  --json            the report as JSON, a line for each drive and disk; texts
                    are strings whose characters U+0000 to U+00FF are the
                    module's bytes
  --                the argument after it is the script, even if it starts
                    with -

The report: the module's information and copyright; a table of the drives
the module lists (ListDrives), with labels and file systems quoted, serials as
XXXX-XXXX, sizes set through SetAlign and percentages with %; a line for each
drive letter present but not listed (no medium, or its volume did not
answer), with the value GetDriveTypeA gave; physical disks 0 and 1
(GetHddInfo), with the error code and its text (GetErrorMessage) for a disk
that did not answer.

A script has one call a line: an export's name and its arguments, separated
by blanks. Integers in decimal (optional -) or 0x hexadecimal, texts in double
quotes with the escapes \\ \" \r \n \t \xHH, and null for a null pointer. A #
that starts a word outside a text starts a comment; a UTF-8 byte-order mark
at the start is skipped. An export that returns a value prints a line
"NAME -> VALUE", a text quoted with the same escapes.

)";
  print_exports(out);
  out << R"(
Exit status: 0 done; 1 a script, module or machine file that cannot be opened
or loaded, or a module answer the report cannot read; 2 a command line or
script line that cannot be followed.
)";
}

}  // namespace korvex::host_tool
