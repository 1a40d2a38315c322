// Reads a simulated machine from a JSON machine file. Unknown fields are an
// error; absent fields keep the machine's defaults.
#pragma once

#include <stdexcept>
#include <string>

#include "platform/sim/simulated_machine.h"

namespace korvex {

struct MachineFileError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

void load_machine_file(const std::string& path, SimulatedMachine& machine);
void load_machine_text(const std::string& json_text, SimulatedMachine& machine);

}  // namespace korvex
