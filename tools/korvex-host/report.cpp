#include "report.h"

#include <string>

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

}  // namespace

void print_report(ModuleCalls& module, std::ostream& out) {
  print_lines(module.text_of("GetInfo"), out);
  out << module.text_of("Copyright") << '\n';
}

}  // namespace korvex::host_tool
