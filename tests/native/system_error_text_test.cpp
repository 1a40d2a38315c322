#include "host/system_error_text.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "platform/sim/simulated_machine.h"

namespace korvex::tests {
namespace {

TEST(ErrorMessage, IsTheSystemTextOfTheLastErrorWithoutItsTrailingBlanks) {
  struct Case {
    std::optional<std::string> system_text;  // none: the system has no text for the code
    std::string expected;
  };
  const Case cases[] = {
      {"File not found.\r\n", "File not found."},
      {"Success.\r\n", "Success."},
      {"Two\r\nlines. \t\r\n", "Two\r\nlines."},
      {std::string("Controls\x01\x1F\0", 11), "Controls"},
      {"\xC4\xE0\xED\xEE\xFF\r\n", "\xC4\xE0\xED\xEE\xFF"},
      {" \r\n", ""},
      {std::string(255, 'x'), std::string(255, 'x')},
      {std::string(256, 'x'), ""},
      {std::nullopt, ""},
  };
  for (const Case& c : cases) {
    SimulatedMachine machine;
    machine.last_error = 2;
    if (c.system_text) machine.messages[2] = *c.system_text;
    EXPECT_EQ(last_error_text(machine).text(), c.expected) << c.system_text.value_or("(none)");
  }
}

}  // namespace
}  // namespace korvex::tests
