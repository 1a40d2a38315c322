// korvex-host's script lines: what a malformed line's message shows of it,
// where comments start, and the byte-order mark before the first line.
#include "script.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <utility>
#include <vector>

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

// A comment starts at a "#" that starts a word outside a text: the arguments
// before it are all there, and a "#" inside a text or a word is no comment.
TEST(ScriptLine, CommentsStartAtAWordOutsideTexts) {
  struct Case {
    std::string line;
    std::vector<std::string> texts;  // the arguments, integers in decimal
  };
  const Case cases[] = {
      {"GetData # no arguments", {}},
      {"GetData\t#", {}},
      {"SetData 0x10 # 16", {"16"}},
      {"Draw 1 2 3 4 5 #6 7", {"1", "2", "3", "4", "5"}},
      {R"(SetFile "a # b" # c)", {"a # b"}},
      {R"(SetFile "#")", {"#"}},
  };
  for (const Case& c : cases) {
    const auto call = parse_script_line(c.line);
    ASSERT_TRUE(call) << c.line;
    std::vector<std::string> texts;
    for (const Argument& argument : call->arguments) {
      texts.push_back(argument.kind == Argument::Kind::kText ? argument.text
                                                             : std::to_string(argument.integer));
    }
    EXPECT_EQ(texts, c.texts) << c.line;
  }
  for (const auto& [line, message] : {std::pair<std::string, std::string>{
                                          "GetData#", R"(unknown export "GetData#")"},
                                      {"SetData 1#2", R"(bad integer "1#2")"},
                                      {R"(SetFile "a"#)", "blank expected after text"}}) {
    try {
      parse_script_line(line);
      ADD_FAILURE() << line << ": the line was accepted";
    } catch (const ScriptError& error) {
      EXPECT_EQ(error.what(), message);
    }
  }
}

// A module without a single export: every call the script reaches says so.
class NoExports final : public ModuleBinding {
 public:
  void* find(const char*) const override { return nullptr; }
};

// The byte-order mark is skipped at the start of the script only: a mark
// further on is part of the line, and the message shows it.
TEST(Script, SkipsAByteOrderMarkAtTheStart) {
  struct Case {
    std::string script;
    std::string message;
  };
  const Case cases[] = {
      {"\xEF\xBB\xBFGetData\n", "line 1: the module has no export GetData"},
      {"\xEF\xBB\xBF# a comment\n\xEF\xBB\xBFGetData\n",
       R"(line 2: unknown export "\xef\xbb\xbfGetData")"},
  };
  for (const Case& c : cases) {
    std::istringstream script(c.script);
    std::ostringstream out;
    try {
      run_script(script, NoExports(), out);
      ADD_FAILURE() << c.message << ": the script ran";
    } catch (const ScriptError& error) {
      EXPECT_EQ(error.what(), c.message);
    }
  }
}

}  // namespace
}  // namespace korvex::host_tool
