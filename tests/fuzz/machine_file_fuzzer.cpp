// The machine-file reader on any bytes: the machine is read, or a
// MachineFileError with a printable message names what is wrong. No other
// exception, and no crash.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_check.h"
#include "platform/sim/machine_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  korvex::SimulatedMachine machine;
  try {
    korvex::load_machine_text(std::string(reinterpret_cast<const char*>(data), size), machine);
  } catch (const korvex::MachineFileError& error) {
    korvex::fuzz::require(korvex::fuzz::printable(error.what()), "a machine-file error is printable");
  }
  return 0;
}
