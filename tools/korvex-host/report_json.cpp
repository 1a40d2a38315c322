// The report as JSON for scripts: the same content as the text, in fields.
// Each drive and each disk is one line, so that a line-based tool can pick
// one out.
#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "report_data.h"

namespace korvex::host_tool {
namespace {

// The module's texts are bytes in the system's ANSI code page, which
// korvex-host does not know: each byte becomes the character of the same
// number (U+0000 to U+00FF), so that a reader gets the bytes back exactly
// and decodes them as it sees fit. The output itself is ASCII.
std::string json_string(std::string_view bytes) {
  constexpr char kHexDigits[] = "0123456789abcdef";
  std::string json = "\"";
  for (const char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      json += '\\';
      json += c;
    } else if (byte >= 0x20 && byte <= 0x7E) {
      json += c;
    } else {
      json += "\\u00";
      json += kHexDigits[byte >> 4];
      json += kHexDigits[byte & 0xF];
    }
  }
  return json + "\"";
}

// An object on one line, its fields in the order they are added.
class JsonObject {
 public:
  JsonObject& field(std::string_view name, const std::string& json_value) {
    fields_ += (fields_.empty() ? "" : ", ") + json_string(name) + ": " + json_value;
    return *this;
  }
  JsonObject& text(std::string_view name, std::string_view value) {
    return field(name, json_string(value));
  }
  JsonObject& number(std::string_view name, std::int64_t value) {
    return field(name, std::to_string(value));
  }
  std::string json() const { return "{" + fields_ + "}"; }

 private:
  std::string fields_;
};

// The number already has the report's decimals; a JSON number may carry
// trailing zeros.
std::string size_json(const ReportSize& size) {
  return JsonObject().field("value", size.number).text("unit", size.unit).json();
}

std::string drive_json(const ListedDrive& drive) {
  return JsonObject()
      .text("letter", drive.letter)
      .text("type", drive.type)
      .text("file_system", drive.file_system)
      .text("label", drive.label)
      .text("serial", drive.serial)
      .field("total", size_json(drive.total))
      .field("free", size_json(drive.free))
      .field("used", size_json(drive.used))
      .number("used_percent", drive.used_percent)
      .number("free_percent", drive.free_percent)
      .json();
}

std::string disk_json(const DiskReport& disk) {
  JsonObject object;
  object.number("number", disk.number).field("answered", disk.answered ? "true" : "false");
  if (!disk.answered) {
    return object.number("error", disk.error).text("error_text", disk.error_text).json();
  }
  object.text("serial", disk.serial).text("model", disk.model).text("firmware", disk.firmware);
  for (const DiskNumber& number : disk.numbers) {
    std::string name(number.name);
    std::replace(name.begin(), name.end(), ' ', '_');
    object.number(name, number.value);
  }
  return object.json();
}

// A member whose value is an array, one element a line.
void print_array(std::string_view name, const std::vector<std::string>& elements, bool last,
                 std::ostream& out) {
  out << "  " << json_string(name) << ": [";
  for (std::size_t i = 0; i < elements.size(); ++i) {
    out << (i == 0 ? "\n    " : ",\n    ") << elements[i];
  }
  out << (elements.empty() ? "]" : "\n  ]") << (last ? "\n" : ",\n");
}

}  // namespace

void print_json_report(const ReportData& report, std::ostream& out) {
  std::string info;
  for (const std::string& line : report.info_lines) {
    info += (info.empty() ? "" : ", ") + json_string(line);
  }
  out << "{\n"
      << "  \"info\": [" << info << "],\n"
      << "  \"copyright\": " << json_string(report.copyright) << ",\n"
      << "  \"sizes\": "
      << JsonObject()
             .text("unit", report.options.unit.name)
             .number("decimals", report.options.decimals)
             .json()
      << ",\n";

  std::vector<std::string> drives;
  for (const ListedDrive& drive : report.drives) drives.push_back(drive_json(drive));
  print_array("drives", drives, false, out);
  std::vector<std::string> unlisted;
  for (const UnlistedDrive& drive : report.unlisted_drives) {
    unlisted.push_back(JsonObject()
                           .text("letter", std::string_view(&drive.letter, 1))
                           .number("drive_type", drive.drive_type)
                           .json());
  }
  print_array("unlisted_drives", unlisted, false, out);
  std::vector<std::string> disks;
  for (const DiskReport& disk : report.disks) disks.push_back(disk_json(disk));
  print_array("disks", disks, true, out);
  out << "}\n";
}

}  // namespace korvex::host_tool
