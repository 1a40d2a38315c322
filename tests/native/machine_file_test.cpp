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

TEST(MachineFile, ReadsMessagesByDecimalCode) {
  SimulatedMachine machine;
  load_machine_text(R"({"messages": {"0": "Success.\r\n", "4294967295": "Last."}})", machine);
  EXPECT_EQ(machine.messages, (std::map<std::uint32_t, std::string>{{0, "Success.\r\n"},
                                                                   {0xFFFFFFFFu, "Last."}}));
}

TEST(MachineFile, KeepsDefaultsForAbsentFields) {
  SimulatedMachine machine;
  load_machine_text("{}", machine);
  EXPECT_EQ(machine.version, 0x1DB10106u);
  EXPECT_EQ(machine.last_error, 0u);
  EXPECT_TRUE(machine.messages.empty());
}

TEST(MachineFile, RejectsUnknownFieldsAndBadValues) {
  for (const char* text : {R"({"versoin": 1})", R"({"version": "12"})", R"({"version": -1})",
                           R"({"version": "0x1FFFFFFFF"})", "[1]", "{",
                           R"({"messages": []})", R"({"messages": {"2": 5}})",
                           R"({"messages": {"x2": "a"}})", R"({"messages": {"-1": "a"}})",
                           R"({"messages": {"": "a"}})", R"({"messages": {"0x2": "a"}})",
                           R"({"messages": {"4294967296": "a"}})"}) {
    SimulatedMachine machine;
    EXPECT_THROW(load_machine_text(text, machine), MachineFileError) << text;
  }
}

}  // namespace
}  // namespace korvex
