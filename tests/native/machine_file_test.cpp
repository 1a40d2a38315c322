#include "platform/sim/machine_file.h"

#include <gtest/gtest.h>

namespace korvex {
namespace {

TEST(MachineFile, ReadsNumbersAndHexStrings) {
  SimulatedMachine machine;
  load_machine_text(R"({"version": "0xC0000A04", "last_error": 5})", machine);
  EXPECT_EQ(machine.version, 0xC0000A04u);
  EXPECT_EQ(machine.last_error, 5u);
}

TEST(MachineFile, KeepsDefaultsForAbsentFields) {
  SimulatedMachine machine;
  load_machine_text("{}", machine);
  EXPECT_EQ(machine.version, 0x1DB10106u);
  EXPECT_EQ(machine.last_error, 0u);
}

TEST(MachineFile, RejectsUnknownFieldsAndBadValues) {
  for (const char* text : {R"({"versoin": 1})", R"({"version": "12"})", R"({"version": -1})",
                           R"({"version": "0x1FFFFFFFF"})", "[1]", "{"}) {
    SimulatedMachine machine;
    EXPECT_THROW(load_machine_text(text, machine), MachineFileError) << text;
  }
}

}  // namespace
}  // namespace korvex
