#include "platform/sim/machine_file.h"

#include <cctype>
#include <charconv>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <optional>
#include <sstream>
#include <string_view>
#include <utility>
#include <vector>

#include <nlohmann/json.hpp>

#include "support/quoted_text.h"

namespace korvex {
namespace {

using Json = nlohmann::json;

// The name of a field inside an object, the way messages write it: a field
// of the top level alone ("version"), nested ones after a dot
// ("drives[1].total"), and names other than letters, digits and "_" quoted in
// brackets: devices["\\\\.\\Scsi0:"].sector.
std::string field_path(const std::string& where, const std::string& name) {
  const bool plain = !name.empty() && name.find_first_not_of(
                                          "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"
                                          "0123456789_") == std::string::npos;
  if (!plain) return where + "[" + quoted_excerpt(name) + "]";
  return where.empty() ? name : where + "." + name;
}

// Follows the parser through the document, so that a number or a syntax
// error it stops at can be told by the field it belongs to.
class JsonPosition {
 public:
  bool follow(int, Json::parse_event_t event, const Json& parsed) {
    using Event = Json::parse_event_t;
    switch (event) {
      case Event::object_start: steps_.push_back({false, {}, 0}); break;
      case Event::array_start: steps_.push_back({true, {}, 0}); break;
      case Event::key: steps_.back().key = parsed.get<std::string>(); break;
      case Event::object_end:
      case Event::array_end:
        steps_.pop_back();
        value_read();
        break;
      case Event::value: value_read(); break;
    }
    return true;
  }

  // "machine" outside every field.
  std::string path() const {
    std::string where;
    for (const Step& step : steps_) {
      if (step.in_list) {
        where += "[" + std::to_string(step.index) + "]";
      } else if (!step.key.empty()) {
        where = field_path(where, step.key);
      }
    }
    return where.empty() ? "machine" : where;
  }

 private:
  struct Step {
    bool in_list;
    std::string key;    // of the field being read, in an object
    std::size_t index;  // of the element being read, in a list
  };

  // A value has been read whole: the next one is another element or field.
  void value_read() {
    if (steps_.empty()) return;
    if (steps_.back().in_list) {
      ++steps_.back().index;
    } else {
      steps_.back().key.clear();
    }
  }

  std::vector<Step> steps_;
};

Json parse_machine_text(const std::string& json_text) {
  // The parser takes a NUL for the end of the text and would ignore whatever follows.
  if (const std::size_t nul = json_text.find('\0'); nul != std::string::npos) {
    throw MachineFileError("machine: a NUL byte at offset " + std::to_string(nul));
  }
  JsonPosition position;
  try {
    return Json::parse(json_text, [&](int depth, Json::parse_event_t event, Json& parsed) {
      return position.follow(depth, event, parsed);
    });
  } catch (const Json::out_of_range&) {
    throw MachineFileError(position.path() + ": number out of range");
  } catch (const Json::exception& error) {
    // The parser's own words, without its "[json.exception.parse_error.101] ".
    const std::string_view words = error.what();
    const std::size_t start = words.find("] ");
    throw MachineFileError(position.path() + ": not valid JSON: " +
                           quoted_excerpt(start == std::string_view::npos ? words
                                                                           : words.substr(start + 2),
                                          160));
  }
}

void require_known_fields(const Json& object, const std::string& where,
                          std::initializer_list<const char*> known) {
  if (!object.is_object()) throw MachineFileError(where + ": expected an object");
  for (const auto& [name, value] : object.items()) {
    bool found = false;
    for (const char* field : known) found = found || name == field;
    if (!found) throw MachineFileError(where + ": unknown field " + quoted_excerpt(name));
  }
}

// "0x" and one or more hexadecimal digits, nothing else: no sign, no blank,
// no second prefix.
std::optional<std::uint64_t> hex_number(std::string_view text) {
  if (text.size() < 3 || text[0] != '0' || (text[1] != 'x' && text[1] != 'X')) return std::nullopt;
  std::uint64_t value = 0;
  const char* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data() + 2, end, value, 16);
  if (error != std::errc() || stop != end) return std::nullopt;
  return value;
}

// A whole number from 0, or a string "0x..." holding one in hexadecimal.
std::uint64_t unsigned_value(const Json& value, const std::string& where) {
  if (value.is_number_unsigned()) return value.get<std::uint64_t>();
  if (value.is_string()) {
    if (const auto parsed = hex_number(value.get_ref<const std::string&>())) return *parsed;
  }
  throw MachineFileError(where + ": expected a whole number from 0 or a \"0x...\" string of 64 bits");
}

std::uint32_t u32_value(const Json& value, const std::string& where) {
  const std::uint64_t parsed = unsigned_value(value, where);
  if (parsed > 0xFFFFFFFFu) throw MachineFileError(where + ": value does not fit 32 bits");
  return static_cast<std::uint32_t>(parsed);
}

// 512 bytes as hexadecimal digits; blanks between them are ignored.
IdentifySector sector_value(const Json& value, const std::string& where) {
  if (!value.is_string()) throw MachineFileError(where + ": expected a string of hex digits");
  std::string digits;
  for (const char c : value.get<std::string>()) {
    if (c == ' ' || c == '\n' || c == '\t') continue;
    if (!std::isxdigit(static_cast<unsigned char>(c))) {
      throw MachineFileError(where + ": not a hex digit: " + quoted_text(std::string(1, c)));
    }
    digits += c;
  }
  IdentifySector sector{};
  if (digits.size() != 2 * sector.size()) {
    throw MachineFileError(where + ": expected " + std::to_string(sector.size()) + " bytes");
  }
  for (std::size_t i = 0; i < sector.size(); ++i) {
    sector[i] = static_cast<std::uint8_t>(std::stoul(digits.substr(2 * i, 2), nullptr, 16));
  }
  return sector;
}

std::string text_value(const Json& value, const std::string& where) {
  if (!value.is_string()) throw MachineFileError(where + ": expected a string");
  return value.get<std::string>();
}

SimulatedStorageDescriptor storage_descriptor_value(const Json& value, const std::string& where) {
  require_known_fields(value, where, {"vendor", "product", "revision", "serial", "bus_type"});
  SimulatedStorageDescriptor descriptor;
  const std::pair<const char*, std::optional<std::string>*> texts[] = {
      {"vendor", &descriptor.vendor},
      {"product", &descriptor.product},
      {"revision", &descriptor.revision},
      {"serial", &descriptor.serial}};
  for (const auto& [name, text] : texts) {
    if (value.contains(name)) *text = text_value(value[name], where + "." + name);
  }
  if (value.contains("bus_type")) {
    descriptor.bus_type = u32_value(value["bus_type"], where + ".bus_type");
  }
  return descriptor;
}

SimulatedDevice device_value(const Json& value, const std::string& where) {
  require_known_fields(value, where, {"open_error", "ioctl_error", "sector", "ata_pass_through",
                                      "storage_descriptor"});
  SimulatedDevice device;
  if (value.contains("open_error")) {
    device.open_error = u32_value(value["open_error"], where + ".open_error");
  }
  if (value.contains("ioctl_error")) {
    device.ioctl_error = u32_value(value["ioctl_error"], where + ".ioctl_error");
  }
  if (value.contains("sector")) device.sector = sector_value(value["sector"], where + ".sector");
  if (value.contains("ata_pass_through")) {
    device.ata_pass_through =
        sector_value(value["ata_pass_through"], where + ".ata_pass_through");
  }
  if (value.contains("storage_descriptor")) {
    device.storage_descriptor =
        storage_descriptor_value(value["storage_descriptor"], where + ".storage_descriptor");
  }
  return device;
}

// One drive letter present on the machine; absent fields keep SimulatedDrive's defaults.
void load_drive(const Json& object, const std::string& where, SimulatedMachine& machine) {
  require_known_fields(object, where, {"letter", "type", "label", "fs", "serial", "total", "free",
                                       "volume_error", "space_error"});
  if (!object.contains("letter")) throw MachineFileError(where + ": no \"letter\"");
  const std::string letter = text_value(object["letter"], where + ".letter");
  if (letter.size() != 1 || letter[0] < 'A' || letter[0] > 'Z') {
    throw MachineFileError(where + ".letter: expected one of \"A\" to \"Z\"");
  }
  SimulatedDrive drive;
  if (object.contains("type")) drive.type = u32_value(object["type"], where + ".type");
  if (object.contains("label")) drive.label = text_value(object["label"], where + ".label");
  if (object.contains("fs")) drive.file_system = text_value(object["fs"], where + ".fs");
  if (object.contains("serial")) drive.serial = u32_value(object["serial"], where + ".serial");
  if (object.contains("total")) drive.total = unsigned_value(object["total"], where + ".total");
  if (object.contains("free")) drive.free = unsigned_value(object["free"], where + ".free");
  if (object.contains("volume_error")) {
    drive.volume_error = u32_value(object["volume_error"], where + ".volume_error");
  }
  if (object.contains("space_error")) {
    drive.space_error = u32_value(object["space_error"], where + ".space_error");
  }
  if (!machine.drives.emplace(letter[0], drive).second) {
    throw MachineFileError(where + ".letter: drive " + letter + " is listed twice");
  }
}

void read_drives(const Json& drives, SimulatedMachine& machine) {
  if (!drives.is_array()) throw MachineFileError("drives: expected a list");
  for (std::size_t i = 0; i < drives.size(); ++i) {
    load_drive(drives[i], "drives[" + std::to_string(i) + "]", machine);
  }
}

void read_devices(const Json& devices, SimulatedMachine& machine) {
  if (!devices.is_object()) throw MachineFileError("devices: expected an object");
  for (const auto& [name, value] : devices.items()) {
    machine.devices[name] = device_value(value, field_path("devices", name));
  }
}

// An error code written as a decimal string, the form JSON allows for keys.
std::uint32_t decimal_code(const std::string& text, const std::string& where) {
  const bool digits = !text.empty() && text.size() <= 10 &&
                      text.find_first_not_of("0123456789") == std::string::npos;
  const std::uint64_t code = digits ? std::stoull(text) : 0;
  if (!digits || code > 0xFFFFFFFFu) {
    throw MachineFileError(where + ": " + quoted_excerpt(text) + " is not a decimal 32-bit code");
  }
  return static_cast<std::uint32_t>(code);
}

void read_messages(const Json& messages, SimulatedMachine& machine) {
  if (!messages.is_object()) throw MachineFileError("messages: expected an object");
  for (const auto& [code, text] : messages.items()) {
    const std::string where = field_path("messages", code);
    if (!text.is_string()) throw MachineFileError(where + ": expected a text");
    machine.messages[decimal_code(code, where)] = text.get<std::string>();
  }
}

}  // namespace

void load_machine_text(const std::string& json_text, SimulatedMachine& machine) {
  const Json root = parse_machine_text(json_text);
  require_known_fields(root, "machine",
                       {"version", "last_error", "elevated", "drives", "devices", "messages"});
  if (root.contains("version")) machine.version = u32_value(root["version"], "version");
  if (root.contains("last_error")) machine.last_error = u32_value(root["last_error"], "last_error");
  if (root.contains("elevated")) {
    if (!root["elevated"].is_boolean()) throw MachineFileError("elevated: expected true or false");
    machine.elevated = root["elevated"].get<bool>();
  }
  if (root.contains("drives")) read_drives(root["drives"], machine);
  if (root.contains("devices")) read_devices(root["devices"], machine);
  if (root.contains("messages")) read_messages(root["messages"], machine);
}

void load_machine_file(const std::string& path, SimulatedMachine& machine) {
  std::ifstream in(path, std::ios::binary);
  std::error_code not_known;
  if (!in || std::filesystem::is_directory(path, not_known)) {
    throw MachineFileError("cannot open machine file " + path);
  }
  std::ostringstream text;
  text << in.rdbuf();
  if (in.bad()) throw MachineFileError("cannot read machine file " + path);
  try {
    load_machine_text(text.str(), machine);
  } catch (const MachineFileError& error) {
    throw MachineFileError(path + ": " + error.what());
  }
}

}  // namespace korvex
