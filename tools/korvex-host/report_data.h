// What the report says, asked of the module once and then written as text or
// as JSON, so that both forms always say the same.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "module_binding.h"
#include "report.h"

namespace korvex::host_tool {

// A size in the report's fixed number of decimals: "74.50" and "GB".
struct ReportSize {
  std::string number;
  std::string unit;  // "B", "KB", "MB" or "GB"
};

struct ListedDrive {
  std::string letter;
  std::string type;
  std::string file_system;
  std::string label;
  std::string serial;  // the 32-bit pattern as Windows shows it: "A4B3-C2D1"
  ReportSize total;
  ReportSize free;
  ReportSize used;
  std::int64_t used_percent = 0;
  std::int64_t free_percent = 0;
};

// A drive letter the machine has but the module did not list.
struct UnlistedDrive {
  char letter;
  std::uint32_t drive_type;  // GetDriveTypeA's value, which the module did not name
};

// An identify number by the name the report gives it ("sectors per track").
struct DiskNumber {
  std::string_view name;
  std::int64_t value;
};

struct DiskReport {
  std::int32_t number = 0;
  // A disk that could not be asked, or told nothing, leaves no serial and no
  // model; its error code and the system's text for it then say why.
  bool answered = false;
  std::int32_t error = 0;
  std::string error_text;
  std::string serial;
  std::string model;
  std::string firmware;
  std::vector<DiskNumber> numbers;
};

struct ReportData {
  ReportOptions options;
  std::vector<std::string> info_lines;
  std::string copyright;
  std::vector<ListedDrive> drives;
  std::vector<UnlistedDrive> unlisted_drives;
  std::vector<DiskReport> disks;
};

// Asks the module through its exports, and the machine for its drive letters.
// An answer not in the form the module gives is a HostError naming it.
ReportData ask_for_report(HostBinding& binding, const ReportOptions& options);

void print_text_report(const ReportData& report, std::ostream& out);
void print_json_report(const ReportData& report, std::ostream& out);

}  // namespace korvex::host_tool
