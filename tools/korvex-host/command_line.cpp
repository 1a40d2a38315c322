#include "command_line.h"

#include <optional>
#include <ostream>
#include <string_view>

#include "module/export_table.h"
#include "support/quoted_text.h"

namespace korvex::host_tool {
namespace {

// "-" alone is standard input; "/?" is how Windows programs are asked for help.
bool is_option(const std::string& argument) {
  return (argument.size() > 1 && argument[0] == '-') || argument == "/?";
}

}  // namespace

CommandLine parse_command_line(const std::vector<std::string>& arguments) {
  CommandLine line;
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
    const std::size_t equals = argument.rfind("--", 0) == 0 ? argument.find('=') : std::string::npos;
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
    } else {
      throw UsageError("unknown option " + quoted_excerpt(name));
    }
  }

  if (line.action == CommandLine::Action::kVersion) {
    if (!line.script_path.empty()) throw UsageError("--version runs no script");
    return line;
  }
  if (!line.script_path.empty()) line.action = CommandLine::Action::kScript;
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
  --                the argument after it is the script, even if it starts
                    with -

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
or loaded; 2 a command line or script line that cannot be followed.
)";
}

}  // namespace korvex::host_tool
