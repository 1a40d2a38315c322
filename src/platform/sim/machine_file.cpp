#include "platform/sim/machine_file.h"

#include <array>
#include <cctype>
#include <charconv>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <map>
#include <optional>
#include <sstream>
#include <string_view>
#include <tuple>
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

std::uint8_t u8_value(const Json& value, const std::string& where) {
  const std::uint64_t parsed = unsigned_value(value, where);
  if (parsed > 0xFF) throw MachineFileError(where + ": value does not fit 8 bits");
  return static_cast<std::uint8_t>(parsed);
}

bool bool_value(const Json& value, const std::string& where) {
  if (!value.is_boolean()) throw MachineFileError(where + ": expected true or false");
  return value.get<bool>();
}

// N bytes as hexadecimal digits; blanks between them are ignored.
template <std::size_t N>
std::array<std::uint8_t, N> bytes_value(const Json& value, const std::string& where) {
  if (!value.is_string()) throw MachineFileError(where + ": expected a string of hex digits");
  std::string digits;
  for (const char c : value.get<std::string>()) {
    if (c == ' ' || c == '\n' || c == '\t') continue;
    if (!std::isxdigit(static_cast<unsigned char>(c))) {
      throw MachineFileError(where + ": not a hex digit: " + quoted_text(std::string(1, c)));
    }
    digits += c;
  }
  std::array<std::uint8_t, N> bytes{};
  if (digits.size() != 2 * N) {
    throw MachineFileError(where + ": expected " + std::to_string(N) + " bytes");
  }
  for (std::size_t i = 0; i < N; ++i) {
    bytes[i] = static_cast<std::uint8_t>(std::stoul(digits.substr(2 * i, 2), nullptr, 16));
  }
  return bytes;
}

IdentifySector sector_value(const Json& value, const std::string& where) {
  return bytes_value<std::tuple_size_v<IdentifySector>>(value, where);
}

std::string text_value(const Json& value, const std::string& where) {
  if (!value.is_string()) throw MachineFileError(where + ": expected a string");
  return value.get<std::string>();
}

// An optional field: when the object has it, its value parsed with its path
// replaces target; when not, target keeps its default.
template <typename Target, typename Parse>
void read_field(const Json& object, const std::string& where, const char* name, Target& target,
                Parse parse) {
  if (object.contains(name)) target = parse(object[name], field_path(where, name));
}

SimulatedStorageDescriptor storage_descriptor_value(const Json& value, const std::string& where) {
  require_known_fields(value, where, {"vendor", "product", "revision", "serial", "bus_type"});
  SimulatedStorageDescriptor descriptor;
  read_field(value, where, "vendor", descriptor.vendor, text_value);
  read_field(value, where, "product", descriptor.product, text_value);
  read_field(value, where, "revision", descriptor.revision, text_value);
  read_field(value, where, "serial", descriptor.serial, text_value);
  read_field(value, where, "bus_type", descriptor.bus_type, u32_value);
  return descriptor;
}

// The 4096 bytes in hexadecimal, or the three texts they are made of.
NvmeIdentifyData nvme_controller_value(const Json& value, const std::string& where) {
  if (!value.is_object()) {
    return bytes_value<std::tuple_size_v<NvmeIdentifyData>>(value, where);
  }
  require_known_fields(value, where, {"serial", "model", "firmware"});
  std::string serial, model, firmware;
  read_field(value, where, "serial", serial, text_value);
  read_field(value, where, "model", model, text_value);
  read_field(value, where, "firmware", firmware, text_value);
  return nvme_controller_data(serial, model, firmware);
}

SimulatedDevice device_value(const Json& value, const std::string& where) {
  require_known_fields(value, where,
                       {"open_error", "ioctl_error", "sector", "ata_pass_through", "ata_status",
                        "scsi_pass_through", "sat12_only", "storage_descriptor",
                        "nvme_identify_controller", "nvme_namespace_size"});
  SimulatedDevice device;
  read_field(value, where, "open_error", device.open_error, u32_value);
  read_field(value, where, "ioctl_error", device.ioctl_error, u32_value);
  read_field(value, where, "sector", device.sector, sector_value);
  read_field(value, where, "ata_pass_through", device.ata_pass_through, sector_value);
  read_field(value, where, "ata_status", device.ata_status, u8_value);
  read_field(value, where, "scsi_pass_through", device.scsi_pass_through, sector_value);
  read_field(value, where, "sat12_only", device.sat12_only, bool_value);
  read_field(value, where, "storage_descriptor", device.storage_descriptor,
             storage_descriptor_value);
  read_field(value, where, "nvme_identify_controller", device.nvme_identify_controller,
             nvme_controller_value);
  read_field(value, where, "nvme_namespace_size", device.nvme_namespace_size, unsigned_value);
  return device;
}

// One drive letter present on the machine; absent fields keep SimulatedDrive's defaults.
void load_drive(const Json& object, const std::string& where,
                std::map<char, SimulatedDrive>& drives) {
  require_known_fields(object, where, {"letter", "type", "label", "fs", "serial", "total", "free",
                                       "volume_error", "space_error"});
  if (!object.contains("letter")) throw MachineFileError(where + ": no \"letter\"");
  const std::string letter = text_value(object["letter"], where + ".letter");
  if (letter.size() != 1 || letter[0] < 'A' || letter[0] > 'Z') {
    throw MachineFileError(where + ".letter: expected one of \"A\" to \"Z\"");
  }
  SimulatedDrive drive;
  read_field(object, where, "type", drive.type, u32_value);
  read_field(object, where, "label", drive.label, text_value);
  read_field(object, where, "fs", drive.file_system, text_value);
  read_field(object, where, "serial", drive.serial, u32_value);
  read_field(object, where, "total", drive.total, unsigned_value);
  read_field(object, where, "free", drive.free, unsigned_value);
  read_field(object, where, "volume_error", drive.volume_error, u32_value);
  read_field(object, where, "space_error", drive.space_error, u32_value);
  if (!drives.emplace(letter[0], drive).second) {
    throw MachineFileError(where + ".letter: drive " + letter + " is listed twice");
  }
}

std::map<char, SimulatedDrive> drives_value(const Json& value, const std::string& where) {
  if (!value.is_array()) throw MachineFileError(where + ": expected a list");
  std::map<char, SimulatedDrive> drives;
  for (std::size_t i = 0; i < value.size(); ++i) {
    load_drive(value[i], where + "[" + std::to_string(i) + "]", drives);
  }
  return drives;
}

std::map<std::string, SimulatedDevice> devices_value(const Json& value, const std::string& where) {
  if (!value.is_object()) throw MachineFileError(where + ": expected an object");
  std::map<std::string, SimulatedDevice> devices;
  for (const auto& [name, device] : value.items()) {
    devices[name] = device_value(device, field_path(where, name));
  }
  return devices;
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

std::map<std::uint32_t, std::string> messages_value(const Json& value, const std::string& where) {
  if (!value.is_object()) throw MachineFileError(where + ": expected an object");
  std::map<std::uint32_t, std::string> messages;
  for (const auto& [code, text] : value.items()) {
    const std::string path = field_path(where, code);
    if (!text.is_string()) throw MachineFileError(path + ": expected a text");
    messages[decimal_code(code, path)] = text.get<std::string>();
  }
  return messages;
}

}  // namespace

void load_machine_text(const std::string& json_text, SimulatedMachine& machine) {
  const Json root = parse_machine_text(json_text);
  require_known_fields(root, "machine",
                       {"version", "last_error", "elevated", "drives", "devices", "messages"});
  // The top level's fields are named alone: "version", "drives[1].total".
  const std::string top;
  read_field(root, top, "version", machine.version, u32_value);
  read_field(root, top, "last_error", machine.last_error, u32_value);
  read_field(root, top, "elevated", machine.elevated, bool_value);
  read_field(root, top, "drives", machine.drives, drives_value);
  read_field(root, top, "devices", machine.devices, devices_value);
  read_field(root, top, "messages", machine.messages, messages_value);
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
