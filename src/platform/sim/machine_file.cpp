#include "platform/sim/machine_file.h"

#include <cctype>
#include <fstream>
#include <initializer_list>
#include <optional>
#include <sstream>
#include <utility>

#include <nlohmann/json.hpp>

#include "support/quoted_text.h"

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

// 512 bytes as hexadecimal digits; blanks between them are ignored.
IdentifySector sector_value(const Json& value, const std::string& where) {
  if (!value.is_string()) throw MachineFileError(where + ": expected a string of hex digits");
  std::string digits;
  for (const char c : value.get<std::string>()) {
    if (c == ' ' || c == '\n' || c == '\t') continue;
    if (!std::isxdigit(static_cast<unsigned char>(c))) {
      throw MachineFileError(where + ": not a hex digit: " + std::string(1, c));
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
    machine.devices[name] = device_value(value, "devices[" + quoted_text(name) + "]");
  }
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
