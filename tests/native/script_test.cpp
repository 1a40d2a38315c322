// korvex-host's script lines: what a malformed line's message shows of it.
#include "script.h"

#include <gtest/gtest.h>

#include <string>

namespace korvex::host_tool {
namespace {

// The offending text is quoted with the escapes of the script's output, so a
// NUL does not cut the message and no raw byte reaches the terminal; a long
// text is cut.
TEST(ScriptLine, MessagesQuoteTheOffendingText) {
  struct Case {
    std::string line;
    std::string message;
  };
  const Case cases[] = {
      {std::string("Set\0Data 1", 10), R"(unknown export "Set\x00Data")"},
      {"Get\x80\xff", R"(unknown export "Get\x80\xff")"},
      {std::string(1 << 20, 'A'), "unknown export \"" + std::string(40, 'A') + "\"..."},
      {"SetData 12\x01", R"(bad integer "12\x01")"},
      {"SetData 0x" + std::string(1 << 20, 'f'), "bad integer \"0x" + std::string(38, 'f') + "\"..."},
      {"SetData -2147483649", R"(integer out of range: "-2147483649")"},
      {R"(SetFile "a\q")", R"(bad escape "\\q")"},
      {"SetFile \"a\\\xe9\"", R"(bad escape "\\\xe9")"},
  };
  for (const Case& c : cases) {
    try {
      parse_script_line(c.line);
      ADD_FAILURE() << c.message << ": the line was accepted";
    } catch (const ScriptError& error) {
      EXPECT_EQ(error.what(), c.message);
    }
  }
}

}  // namespace
}  // namespace korvex::host_tool
