#include "platform/sim/machine_file.h"

#include <fstream>
#include <initializer_list>
#include <sstream>

#include <nlohmann/json.hpp>

namespace korvex {
namespace {

using Json = nlohmann::json;

void require_known_fields(const Json& object, const std::string& where,
                          std::initializer_list<const char*> known) {
  if (!object.is_object()) throw MachineFileError(where + ": expected an object");
  for (const auto& [name, value] : object.items()) {
    bool found = false;
    for (const char* field : known) found = found || name == field;
    if (!found) throw MachineFileError(where + ": unknown field \"" + name + "\"");
  }
}

// A number, or a string "0x..." holding one in hexadecimal.
std::uint64_t unsigned_value(const Json& value, const std::string& where) {
  if (value.is_number_unsigned()) return value.get<std::uint64_t>();
  if (value.is_string()) {
    const std::string text = value.get<std::string>();
    std::size_t used = 0;
    try {
      if (text.rfind("0x", 0) == 0 || text.rfind("0X", 0) == 0) {
        const std::uint64_t parsed = std::stoull(text.substr(2), &used, 16);
        if (used == text.size() - 2) return parsed;
      }
    } catch (const std::exception&) {
    }
  }
  throw MachineFileError(where + ": expected a number or a \"0x...\" string");
}

std::uint32_t u32_value(const Json& value, const std::string& where) {
  const std::uint64_t parsed = unsigned_value(value, where);
  if (parsed > 0xFFFFFFFFu) throw MachineFileError(where + ": value does not fit 32 bits");
  return static_cast<std::uint32_t>(parsed);
}

// An error code written as a decimal string, the form JSON allows for keys.
std::uint32_t decimal_code(const std::string& text, const std::string& where) {
  const bool digits = !text.empty() && text.size() <= 10 &&
                      text.find_first_not_of("0123456789") == std::string::npos;
  const std::uint64_t code = digits ? std::stoull(text) : 0;
  if (!digits || code > 0xFFFFFFFFu) {
    throw MachineFileError(where + ": \"" + text + "\" is not a decimal 32-bit code");
  }
  return static_cast<std::uint32_t>(code);
}

void read_messages(const Json& messages, SimulatedMachine& machine) {
  if (!messages.is_object()) throw MachineFileError("messages: expected an object");
  for (const auto& [code, text] : messages.items()) {
    if (!text.is_string()) throw MachineFileError("messages." + code + ": expected a text");
    machine.messages[decimal_code(code, "messages")] = text.get<std::string>();
  }
}

}  // namespace

void load_machine_text(const std::string& json_text, SimulatedMachine& machine) {
  Json root;
  try {
    root = Json::parse(json_text);
  } catch (const Json::parse_error& error) {
    throw MachineFileError(std::string("not valid JSON: ") + error.what());
  }
  require_known_fields(root, "machine", {"version", "last_error", "messages"});
  if (root.contains("version")) machine.version = u32_value(root["version"], "version");
  if (root.contains("last_error")) machine.last_error = u32_value(root["last_error"], "last_error");
  if (root.contains("messages")) read_messages(root["messages"], machine);
}

void load_machine_file(const std::string& path, SimulatedMachine& machine) {
  std::ifstream in(path);
  if (!in) throw MachineFileError("cannot open machine file " + path);
  std::ostringstream text;
  text << in.rdbuf();
  try {
    load_machine_text(text.str(), machine);
  } catch (const MachineFileError& error) {
    throw MachineFileError(path + ": " + error.what());
  }
}

}  // namespace korvex
