#include "script.h"

#include <cctype>
#include <cstdint>
#include <string_view>

#include "module/export_table.h"
#include "support/quoted_text.h"

namespace korvex::host_tool {
namespace {

bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

int hex_digit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Reads a quoted text starting at line[at] == '"'; leaves at after the quote.
std::string parse_text(const std::string& line, std::size_t& at) {
  std::string text;
  for (++at; at < line.size(); ++at) {
    const char c = line[at];
    if (c == '"') {
      ++at;
      return text;
    }
    if (c != '\\') {
      text += c;
      continue;
    }
    if (++at == line.size()) break;
    switch (line[at]) {
      case '\\': text += '\\'; break;
      case '"': text += '"'; break;
      case 'r': text += '\r'; break;
      case 'n': text += '\n'; break;
      case 't': text += '\t'; break;
      case 'x': {
        const int high = at + 1 < line.size() ? hex_digit(line[at + 1]) : -1;
        const int low = at + 2 < line.size() ? hex_digit(line[at + 2]) : -1;
        if (high < 0 || low < 0) throw ScriptError("bad escape \\x: two hex digits expected");
        text += static_cast<char>(high * 16 + low);
        at += 2;
        break;
      }
      default: throw ScriptError("bad escape " + quoted_text(line.substr(at - 1, 2)));
    }
  }
  throw ScriptError("text without closing quote");
}

std::int32_t parse_integer(const std::string& word) {
  const bool hex = word.size() > 2 && word[0] == '0' && (word[1] == 'x' || word[1] == 'X');
  const std::string digits = hex ? word.substr(2) : (word[0] == '-' ? word.substr(1) : word);
  const auto bad = [&](const char* what) { return ScriptError(what + quoted_excerpt(word)); };
  if (digits.empty() || (hex && digits.size() > 8)) throw bad("bad integer ");
  std::uint64_t value = 0;
  for (const char c : digits) {
    const int digit = hex ? hex_digit(c) : (std::isdigit(static_cast<unsigned char>(c)) ? c - '0' : -1);
    if (digit < 0) throw bad("bad integer ");
    value = value * (hex ? 16 : 10) + static_cast<std::uint64_t>(digit);
    if (value > 0xFFFFFFFFull) throw bad("integer out of range: ");
  }
  if (hex) return static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
  const bool negative = word[0] == '-';
  if (value > (negative ? 2147483648ull : 2147483647ull)) {
    throw bad("integer out of range: ");
  }
  return static_cast<std::int32_t>(negative ? -static_cast<std::int64_t>(value)
                                            : static_cast<std::int64_t>(value));
}

std::size_t expected_count(Arguments arguments) {
  switch (arguments) {
    case Arguments::kNone: return 0;
    case Arguments::kFiveIntegers: return 5;
    default: return 1;
  }
}

bool fits(Arguments arguments, const Argument& argument) {
  if (arguments == Arguments::kText) return argument.kind != Argument::Kind::kInteger;
  return argument.kind == Argument::Kind::kInteger;
}

}  // namespace

std::optional<ScriptCall> parse_script_line(const std::string& line) {
  std::size_t at = 0;
  while (at < line.size() && is_blank(line[at])) ++at;
  if (at == line.size() || line[at] == '#') return std::nullopt;

  const std::size_t name_start = at;
  while (at < line.size() && !is_blank(line[at])) ++at;
  const std::string name = line.substr(name_start, at - name_start);
  const ExportEntry* entry = find_export(name);
  if (entry == nullptr) throw ScriptError("unknown export " + quoted_excerpt(name));

  ScriptCall call{entry, {}};
  for (;;) {
    while (at < line.size() && is_blank(line[at])) ++at;
    // A "#" that starts a word starts a comment; inside a text it is text.
    if (at == line.size() || line[at] == '#') break;
    if (line[at] == '"') {
      call.arguments.push_back({Argument::Kind::kText, 0, parse_text(line, at)});
      if (at < line.size() && !is_blank(line[at])) throw ScriptError("blank expected after text");
      continue;
    }
    const std::size_t word_start = at;
    while (at < line.size() && !is_blank(line[at])) ++at;
    const std::string word = line.substr(word_start, at - word_start);
    if (word == "null") {
      call.arguments.push_back({Argument::Kind::kNull, 0, {}});
    } else {
      call.arguments.push_back({Argument::Kind::kInteger, parse_integer(word), {}});
    }
  }

  if (call.arguments.size() != expected_count(entry->arguments)) {
    throw ScriptError(name + " takes " + std::to_string(expected_count(entry->arguments)) +
                      " argument(s), not " + std::to_string(call.arguments.size()));
  }
  for (const Argument& argument : call.arguments) {
    if (!fits(entry->arguments, argument)) {
      throw ScriptError(name + (entry->arguments == Arguments::kText ? " takes a text or null"
                                                                      : " takes integers"));
    }
  }
  return call;
}

void run_script(std::istream& script, const ModuleBinding& binding, std::ostream& out) {
  std::string line;
  for (int number = 1; std::getline(script, line); ++number) {
    // Editors on Windows start a UTF-8 file with a byte-order mark.
    constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
    if (number == 1 && line.rfind(kByteOrderMark, 0) == 0) line.erase(0, kByteOrderMark.size());
    try {
      const std::optional<ScriptCall> call = parse_script_line(line);
      if (!call) continue;
      void* address = binding.find(std::string(call->entry->name).c_str());
      if (address == nullptr) {
        throw ScriptError("the module has no export " + std::string(call->entry->name));
      }
      if (const auto value = call_export(*call->entry, address, call->arguments)) {
        out << call->entry->name << " -> " << *value << '\n' << std::flush;
      }
    } catch (const ScriptError& error) {
      throw ScriptError("line " + std::to_string(number) + ": " + error.what());
    }
  }
}

}  // namespace korvex::host_tool
