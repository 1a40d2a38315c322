// The report as text for people: aligned columns, and no byte of the
// module's or the system's texts reaches the terminal unescaped.
#include <algorithm>
#include <array>
#include <string>

#include "report_data.h"
#include "support/quoted_text.h"

namespace korvex::host_tool {
namespace {

// A text with the escapes of quoted_text, without its quotes: for the
// module's own words (information lines, drive letters, type names), where
// quotes would only be noise.
std::string escaped(std::string_view text) {
  const std::string quoted = quoted_text(text);
  return quoted.substr(1, quoted.size() - 2);
}

std::string size_text(const ReportSize& size) { return size.number + " " + size.unit; }

std::string settings_text(const ReportOptions& options) {
  if (options.unit.mode == 0) return "sizes in bytes";
  const std::string unit =
      options.unit.mode < 0 ? "the automatic unit" : std::string(options.unit.name);
  const std::string decimals = std::to_string(options.decimals) +
                               (options.decimals == 1 ? " decimal" : " decimals");
  return "sizes in " + unit + " with " + decimals;
}

struct Column {
  const char* heading;
  bool right_aligned;  // numbers and sizes line up on their last character
};

constexpr std::array<Column, 10> kDriveColumns = {{
    {"Drive", false},
    {"Type", false},
    {"File system", false},
    {"Label", false},
    {"Serial", false},
    {"Total", true},
    {"Free", true},
    {"Used", true},
    {"Used %", true},
    {"Free %", true},
}};

using Row = std::array<std::string, kDriveColumns.size()>;

Row drive_row(const ListedDrive& drive) {
  return {escaped(drive.letter),
          escaped(drive.type),
          quoted_text(drive.file_system),
          quoted_text(drive.label),
          drive.serial,
          size_text(drive.total),
          size_text(drive.free),
          size_text(drive.used),
          std::to_string(drive.used_percent) + "%",
          std::to_string(drive.free_percent) + "%"};
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

void print_drives(const ReportData& report, std::ostream& out) {
  out << "Drives: " << report.drives.size() << " listed, " << report.unlisted_drives.size()
      << " not listed; " << settings_text(report.options) << '\n';
  if (!report.drives.empty()) {
    std::vector<Row> rows;
    Row headings;
    std::array<std::size_t, kDriveColumns.size()> widths{};
    for (std::size_t column = 0; column < kDriveColumns.size(); ++column) {
      headings[column] = kDriveColumns[column].heading;
      widths[column] = headings[column].size();
    }
    for (const ListedDrive& drive : report.drives) {
      const Row& row = rows.emplace_back(drive_row(drive));
      for (std::size_t column = 0; column < row.size(); ++column) {
        widths[column] = std::max(widths[column], row[column].size());
      }
    }
    print_row(headings, widths, out);
    for (const Row& row : rows) print_row(row, widths, out);
  }
  for (const UnlistedDrive& drive : report.unlisted_drives) {
    out << "Drive " << drive.letter << " (GetDriveTypeA " << drive.drive_type
        << ") is not listed: no medium, or its volume did not answer\n";
  }
}

void print_disk(const DiskReport& disk, std::ostream& out) {
  out << "Physical disk " << disk.number;
  if (!disk.answered) {
    out << ": not answered, system error " << disk.error;
    if (!disk.error_text.empty()) out << ": " << quoted_text(disk.error_text);
    out << '\n';
    return;
  }
  out << '\n'
      << "  serial " << quoted_text(disk.serial) << ", model " << quoted_text(disk.model)
      << ", firmware " << quoted_text(disk.firmware) << '\n';
  // Four numbers a line: the geometry, then the buffer and capacities.
  for (std::size_t i = 0; i < disk.numbers.size(); ++i) {
    out << (i % 4 == 0 ? "  " : ", ") << disk.numbers[i].name << ' ' << disk.numbers[i].value;
    if (i % 4 == 3 || i + 1 == disk.numbers.size()) out << '\n';
  }
}

}  // namespace

void print_text_report(const ReportData& report, std::ostream& out) {
  for (const std::string& line : report.info_lines) out << escaped(line) << '\n';
  out << escaped(report.copyright) << '\n';
  out << '\n';
  print_drives(report, out);
  out << '\n';
  for (const DiskReport& disk : report.disks) print_disk(disk, out);
}

}  // namespace korvex::host_tool
