// korvex-host's script parser on any bytes, a line at a time: a line is a
// call whose arguments fit the export, or a ScriptError whose message is one
// short printable line.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "script.h"

using korvex::fuzz::require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view script(reinterpret_cast<const char*>(data), size);
  std::size_t start = 0;
  while (start <= script.size()) {
    const std::size_t end = std::min(script.find('\n', start), script.size());
    const std::string line(script.substr(start, end - start));
    start = end + 1;
    try {
      const auto call = korvex::host_tool::parse_script_line(line);
      if (!call) continue;
      using korvex::Arguments;
      const Arguments shape = call->entry->arguments;
      const std::size_t count = call->arguments.size();
      require(shape == Arguments::kNone         ? count == 0
              : shape == Arguments::kFiveIntegers ? count == 5
                                                  : count == 1,
              "a call has the export's number of arguments");
    } catch (const korvex::host_tool::ScriptError& error) {
      const std::string_view message = error.what();
      require(korvex::fuzz::printable(message), "a script error is printable");
      require(message.size() < 256, "a script error is one short line");
    }
  }
  return 0;
}
