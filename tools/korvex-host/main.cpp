// korvex-host: calls the module the way a host application does. See
// print_help (command_line.cpp) for its command line.
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "command_line.h"
#include "host/version.h"
#include "module_binding.h"
#include "report.h"
#include "script.h"

namespace {

using korvex::host_tool::CommandLine;

constexpr int kScriptFailed = 2;
constexpr int kSetupFailed = 1;

int print_versions(const CommandLine& command) {
  std::cout << "korvex-host " KORVEX_VERSION_TEXT "\n" << std::flush;
  const auto binding = korvex::host_tool::bind_module(command.binding);
  // The module's own word for its version: the first line of its information text.
  const std::string info = korvex::host_tool::ModuleCaller(*binding).text_of("GetInfo");
  std::cout << "module: " << info.substr(0, info.find_first_of("\r\n")) << '\n';
  return 0;
}

int run_script(const CommandLine& command) {
  const auto binding = korvex::host_tool::bind_module(command.binding);
  if (command.script_path == "-") {
    korvex::host_tool::run_script(std::cin, *binding, std::cout);
    return 0;
  }
  std::ifstream script(command.script_path);
  // A directory opens as a stream that reads nothing, which would run as an empty script.
  std::error_code not_known;
  if (!script || std::filesystem::is_directory(command.script_path, not_known)) {
    std::cerr << "korvex-host: cannot open script " << command.script_path << '\n';
    return kSetupFailed;
  }
  korvex::host_tool::run_script(script, *binding, std::cout);
  return 0;
}

int run(const CommandLine& command) {
  switch (command.action) {
    case CommandLine::Action::kHelp: korvex::host_tool::print_help(std::cout); return 0;
    case CommandLine::Action::kVersion: return print_versions(command);
    case CommandLine::Action::kScript: return run_script(command);
    case CommandLine::Action::kReport: break;
  }
  const auto binding = korvex::host_tool::bind_module(command.binding);
  korvex::host_tool::print_report(*binding, command.report, std::cout);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace korvex::host_tool;
  use_plain_line_ends();
  try {
    return run(parse_command_line(std::vector<std::string>(argv + 1, argv + argc)));
  } catch (const UsageError& error) {
    std::cerr << "korvex-host: " << error.what() << '\n'
              << kSynopsis << '\n'
              << "Try korvex-host --help for the options.\n";
    return kScriptFailed;
  } catch (const ScriptError& error) {
    std::cout.flush();
    std::cerr << "korvex-host: " << error.what() << '\n';
    return kScriptFailed;
  } catch (const HostError& error) {
    std::cout.flush();
    std::cerr << "korvex-host: " << error.what() << '\n';
    return kSetupFailed;
  }
}
