#include "report.h"

#include <cstdint>
#include <string>

#include "support/quoted_text.h"

namespace korvex::host_tool {
namespace {

// The info text's lines end in CR LF; the report prints plain lines.
void print_lines(const std::string& text, std::ostream& out) {
  std::string line;
  for (const char c : text) {
    if (c == '\r') continue;
    if (c == '\n') {
      out << line << '\n';
      line.clear();
    } else {
      line += c;
    }
  }
  out << line << '\n';
}

std::string text_answer(ModuleCalls& module, const char* getter) {
  module.call(getter);
  return module.get_file();
}

std::string number_answer(ModuleCalls& module, const char* getter) {
  module.call(getter);
  return std::to_string(module.get_data());
}

// A disk that could not be asked leaves no serial and a zero record, so no
// model either; the error code then says why.
void print_disk(ModuleCalls& module, std::int32_t device_number, std::ostream& out) {
  module.set_data(device_number);
  module.call("GetHddInfo");
  const std::string serial = module.get_file();
  const std::int32_t error = module.get_data();
  const std::string model = text_answer(module, "GetHddModelNumber");
  out << "Physical disk " << device_number;
  if (serial.empty() && model.empty()) {
    out << ": not answered, system error " << error << '\n';
    return;
  }
  out << '\n'
      << "  serial " << quoted_text(serial) << ", model " << quoted_text(model) << ", firmware "
      << quoted_text(text_answer(module, "GetHddFirmwareRev")) << '\n'
      << "  cylinders " << number_answer(module, "GetHddNumCyls") << ", heads "
      << number_answer(module, "GetHddNumHeads") << ", sectors per track "
      << number_answer(module, "GetHddSectorsPerTrack") << ", bytes per sector "
      << number_answer(module, "GetHddBytesPerSector") << '\n'
      << "  buffer size " << text_answer(module, "GetHddBufferSize") << ", capabilities "
      << text_answer(module, "GetHddCapabilities") << ", current capacity "
      << text_answer(module, "GetHddCurrentSectorCapacity") << ", total addressable sectors "
      << text_answer(module, "GetHddTotalAddressableSectors") << '\n';
}

}  // namespace

void print_report(ModuleCalls& module, std::ostream& out) {
  print_lines(module.text_of("GetInfo"), out);
  out << module.text_of("Copyright") << '\n';
  for (const std::int32_t disk : {0, 1}) print_disk(module, disk, out);
}

}  // namespace korvex::host_tool
