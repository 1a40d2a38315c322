// korvex-host: calls the module the way a host application does.
//
//   korvex-host [options] SCRIPT   runs a script (- for standard input)
//   korvex-host [options]          prints the report
//
// Options: --module PATH (Windows build), --machine FILE and --trace (native build).
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>

#include "module_binding.h"
#include "report.h"
#include "script.h"

namespace {

constexpr int kScriptFailed = 2;
constexpr int kSetupFailed = 1;

int usage() {
  std::cerr << "usage: korvex-host [--module PATH] [--machine FILE] [--trace] [SCRIPT | -]\n";
  return kScriptFailed;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace korvex::host_tool;
  BindingOptions options;
  std::string script_path;
  for (int i = 1; i < argc; ++i) {
    const std::string argument = argv[i];
    if ((argument == "--module" || argument == "--machine") && i + 1 < argc) {
      (argument == "--module" ? options.module_path : options.machine_path) = argv[++i];
    } else if (argument == "--trace") {
      options.trace = true;
    } else if (script_path.empty() && (argument == "-" || argument.rfind("--", 0) != 0)) {
      script_path = argument;
    } else {
      return usage();
    }
  }

  try {
    auto binding = bind_module(options);
    if (script_path.empty()) {
      print_report(ModuleCaller(*binding), std::cout);
      return 0;
    }
    if (script_path == "-") {
      run_script(std::cin, *binding, std::cout);
      return 0;
    }
    std::ifstream script(script_path);
    // A directory opens as a stream that reads nothing, which would run as an empty script.
    std::error_code not_known;
    if (!script || std::filesystem::is_directory(script_path, not_known)) {
      std::cerr << "korvex-host: cannot open script " << script_path << '\n';
      return kSetupFailed;
    }
    run_script(script, *binding, std::cout);
    return 0;
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
