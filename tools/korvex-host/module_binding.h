// Where korvex-host finds the module: the real Korvex.dll (Windows build) or
// the module's code linked into the program, on a simulated machine (native).
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "module_caller.h"

namespace korvex::host_tool {

// The command line's choices.
struct BindingOptions {
  std::string module_path;   // Windows: empty for the DLL beside the program
  std::string machine_path;  // native: empty for the default machine
  bool trace = false;        // native: every platform call to standard error
};

// GetDriveTypeA's value for a root directory that does not exist
// (DRIVE_NO_ROOT_DIR).
inline constexpr std::uint32_t kNoRootDirectory = 1;

// The module and the machine it runs on. The report asks the machine itself
// which drive letters exist, to name those the module leaves out of its list.
class HostBinding : public ModuleBinding {
 public:
  // GetDriveTypeA for the letter's root directory, asked by korvex-host
  // itself, not through the module; kNoRootDirectory for a letter that has
  // no drive.
  virtual std::uint32_t drive_type(char letter) = 0;
};

std::unique_ptr<HostBinding> bind_module(const BindingOptions& options);

// Standard output and standard error write "\n" as it is, on Windows too, so
// that both builds print the same bytes.
void use_plain_line_ends();

}  // namespace korvex::host_tool
