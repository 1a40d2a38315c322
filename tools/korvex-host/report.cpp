#include "report.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <vector>

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

// A disk that could not be asked, or told nothing, leaves no serial and no
// model; the error code then says why. Whichever request answered, the
// serial, model and firmware come from the same getters.
void print_disk(const ModuleCaller& module, std::int32_t device_number, std::ostream& out) {
  const auto [serial, error] = module.hdd_info(device_number);
  const std::string model = module.text_answer("GetHddModelNumber");
  out << "Physical disk " << device_number;
  if (serial.empty() && model.empty()) {
    out << ": not answered, system error " << error << '\n';
    return;
  }
  out << '\n'
      << "  serial " << quoted_text(serial) << ", model " << quoted_text(model) << ", firmware "
      << quoted_text(module.text_answer("GetHddFirmwareRev")) << '\n'
      << "  cylinders " << module.number_answer("GetHddNumCyls") << ", heads "
      << module.number_answer("GetHddNumHeads") << ", sectors per track "
      << module.number_answer("GetHddSectorsPerTrack") << ", bytes per sector "
      << module.number_answer("GetHddBytesPerSector") << '\n'
      << "  buffer size " << module.text_answer("GetHddBufferSize") << ", capabilities "
      << module.text_answer("GetHddCapabilities") << ", current capacity "
      << module.text_answer("GetHddCurrentSectorCapacity") << ", total addressable sectors "
      << module.text_answer("GetHddTotalAddressableSectors") << '\n';
}

struct Column {
  const char* heading;
  const char* getter;
  bool right_aligned;  // numbers and sizes line up on their last character
};

constexpr std::array<Column, 10> kDriveColumns = {{
    {"Drive", "GetDriveLetter", false},
    {"Type", "GetDriveType", false},
    {"File system", "GetDriveFileSystem", false},
    {"Label", "GetVolumeLabel", false},
    {"Serial", "GetVolumeSerial", true},
    {"Total", "GetTotalSpace", true},
    {"Free", "GetFreeSpace", true},
    {"Used", "GetUsedSpace", true},
    {"Used %", "GetUsedPercent", true},
    {"Free %", "GetFreePercent", true},
}};

using Row = std::array<std::string, kDriveColumns.size()>;

// One row a drive, asked the way a host asks: select it, then call each
// getter and read its text.
std::vector<Row> drive_rows(const ModuleCaller& module) {
  const std::int32_t count = module.number_answer("ListDrives");
  std::vector<Row> rows;
  for (std::int32_t index = 0; index < count; ++index) {
    module.set_data(index);
    module.call("SelectDrive");
    Row& row = rows.emplace_back();
    for (std::size_t column = 0; column < kDriveColumns.size(); ++column) {
      row[column] = module.text_answer(kDriveColumns[column].getter);
    }
  }
  return rows;
}

void print_row(const Row& row, const std::array<std::size_t, kDriveColumns.size()>& widths,
               std::ostream& out) {
  std::string line;
  for (std::size_t column = 0; column < row.size(); ++column) {
    if (column != 0) line += "  ";
    const std::string padding(widths[column] - row[column].size(), ' ');
    line += kDriveColumns[column].right_aligned ? padding + row[column] : row[column] + padding;
  }
  out << line.substr(0, line.find_last_not_of(' ') + 1) << '\n';
}

void print_drives(const ModuleCaller& module, std::ostream& out) {
  const std::vector<Row> rows = drive_rows(module);
  out << "Drives: " << rows.size() << '\n';
  if (rows.empty()) return;
  Row headings;
  std::array<std::size_t, kDriveColumns.size()> widths{};
  for (std::size_t column = 0; column < kDriveColumns.size(); ++column) {
    headings[column] = kDriveColumns[column].heading;
    widths[column] = headings[column].size();
    for (const Row& row : rows) widths[column] = std::max(widths[column], row[column].size());
  }
  print_row(headings, widths, out);
  for (const Row& row : rows) print_row(row, widths, out);
}

}  // namespace

void print_report(const ModuleCaller& module, std::ostream& out) {
  print_lines(module.text_of("GetInfo"), out);
  out << module.text_of("Copyright") << '\n';
  out << '\n';
  print_drives(module, out);
  out << '\n';
  for (const std::int32_t disk : {0, 1}) print_disk(module, disk, out);
}

}  // namespace korvex::host_tool
