#include "report.h"

#include <algorithm>
#include <array>
#include <charconv>

#include "drives/drive_inventory.h"
#include "platform/platform.h"
#include "report_data.h"
#include "support/quoted_text.h"

namespace korvex::host_tool {
namespace {

HostError unexpected_answer(const char* getter, std::string_view text, const char* expected) {
  return HostError(std::string(getter) + " answered " + quoted_excerpt(text) + ", not " + expected);
}

// The whole of the text as a decimal integer in the range of Number.
template <typename Number>
bool read_integer(std::string_view text, Number& value) {
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return error == std::errc() && end == text.data() + text.size();
}

std::int64_t whole_number_answer(const ModuleCaller& module, const char* getter) {
  const std::string text = module.text_answer(getter);
  std::int64_t value = 0;
  if (!read_integer(text, value)) throw unexpected_answer(getter, text, "a whole number");
  return value;
}

// The module writes the 32-bit serial as signed decimal; the report shows
// the bit pattern in hexadecimal, as Windows does.
std::string serial_answer(const ModuleCaller& module) {
  const std::string text = module.text_answer("GetVolumeSerial");
  std::int32_t value = 0;
  if (!read_integer(text, value)) {
    throw unexpected_answer("GetVolumeSerial", text, "a 32-bit number");
  }
  const auto serial = static_cast<std::uint32_t>(value);
  constexpr char kHexDigits[] = "0123456789ABCDEF";
  std::string pattern;
  for (int shift = 28; shift >= 0; shift -= 4) {
    pattern += kHexDigits[(serial >> shift) & 0xF];
    if (shift == 16) pattern += '-';
  }
  return pattern;
}

bool is_digits(std::string_view text) {
  return !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
}

// The module rounds a size to the decimals and drops the trailing zeros
// ("1.5 GB" for 1.50); the report writes them back, so that every size of a
// unit has the same decimals. Bytes are never divided and stay whole.
ReportSize size_answer(const ModuleCaller& module, const char* getter, std::int32_t decimals) {
  const std::string text = module.text_answer(getter);
  // The number, a blank and the unit; " B " ends in a blank, to line up with " KB".
  const std::size_t blank = text.find(' ');
  ReportSize size;
  if (blank != std::string::npos) {
    size.number = text.substr(0, blank);
    size.unit = text.substr(blank + 1);
  }
  if (size.unit == "B ") size.unit = "B";

  // Used space is negative where the free space is larger than the total.
  const bool negative = size.number.rfind('-', 0) == 0;
  const std::string_view digits = std::string_view(size.number).substr(negative ? 1 : 0);
  const std::size_t point = digits.find('.');
  const std::string_view fraction =
      point == std::string_view::npos ? std::string_view() : digits.substr(point + 1);
  const bool whole_bytes = size.unit == "B" && point == std::string_view::npos;
  const bool in_a_larger_unit = (size.unit == "KB" || size.unit == "MB" || size.unit == "GB") &&
                                (point == std::string_view::npos || is_digits(fraction));
  if (!is_digits(digits.substr(0, point)) || !(whole_bytes || in_a_larger_unit)) {
    throw unexpected_answer(getter, text, "a size");
  }
  if (in_a_larger_unit && fraction.size() < static_cast<std::size_t>(decimals)) {
    if (point == std::string_view::npos) size.number += '.';
    size.number.append(static_cast<std::size_t>(decimals) - fraction.size(), '0');
  }
  return size;
}

// The info text's lines end in CR LF.
std::vector<std::string> lines_of(const std::string& text) {
  std::vector<std::string> lines(1);
  for (const char c : text) {
    if (c == '\n') {
      if (!lines.back().empty() && lines.back().back() == '\r') lines.back().pop_back();
      lines.emplace_back();
    } else {
      lines.back() += c;
    }
  }
  return lines;
}

// One record a drive, asked the way a host asks: select it, then call each
// getter and read its text.
ListedDrive listed_drive(const ModuleCaller& module, std::int32_t index, std::int32_t decimals) {
  module.set_data(index);
  module.call("SelectDrive");
  ListedDrive drive;
  drive.letter = module.text_answer("GetDriveLetter");
  drive.type = module.text_answer("GetDriveType");
  drive.file_system = module.text_answer("GetDriveFileSystem");
  drive.label = module.text_answer("GetVolumeLabel");
  drive.serial = serial_answer(module);
  drive.total = size_answer(module, "GetTotalSpace", decimals);
  drive.free = size_answer(module, "GetFreeSpace", decimals);
  drive.used = size_answer(module, "GetUsedSpace", decimals);
  drive.used_percent = whole_number_answer(module, "GetUsedPercent");
  drive.free_percent = whole_number_answer(module, "GetFreePercent");
  return drive;
}

struct DiskGetter {
  std::string_view name;
  const char* getter;
  bool text_answer;  // decimal text in the text result, or a number in the result slot
};

constexpr std::array<DiskGetter, 8> kDiskNumbers = {{
    {"cylinders", "GetHddNumCyls", false},
    {"heads", "GetHddNumHeads", false},
    {"sectors per track", "GetHddSectorsPerTrack", false},
    {"bytes per sector", "GetHddBytesPerSector", false},
    {"buffer size", "GetHddBufferSize", true},
    {"capabilities", "GetHddCapabilities", true},
    {"current capacity", "GetHddCurrentSectorCapacity", true},
    {"total addressable sectors", "GetHddTotalAddressableSectors", true},
}};

// Whichever request answered, the serial, model and firmware come from the
// same getters.
DiskReport disk_report(const ModuleCaller& module, std::int32_t number) {
  DiskReport disk;
  disk.number = number;
  module.set_data(number);
  module.call("GetHddInfo");
  disk.serial = module.get_file();
  // GetErrorMessage explains the thread's last error, the one GetHddInfo
  // left: it is asked next, after only the read of the serial, which its text
  // replaces in the text result.
  disk.error_text = module.text_answer("GetErrorMessage");
  disk.error = module.get_data();
  disk.model = module.text_answer("GetHddModelNumber");
  disk.answered = !disk.serial.empty() || !disk.model.empty();
  if (!disk.answered) return disk;
  disk.firmware = module.text_answer("GetHddFirmwareRev");
  for (const DiskGetter& getter : kDiskNumbers) {
    disk.numbers.push_back({getter.name, getter.text_answer
                                             ? whole_number_answer(module, getter.getter)
                                             : module.number_answer(getter.getter)});
  }
  return disk;
}

}  // namespace

ReportData ask_for_report(HostBinding& binding, const ReportOptions& options) {
  const ModuleCaller module(binding);
  ReportData report;
  report.options = options;
  report.info_lines = lines_of(module.text_of("GetInfo"));
  report.copyright = module.text_of("Copyright");

  // SetAlign reads the decimals from slot 1 and the mode from slot 0, the
  // slot pushed last.
  module.set_data(options.decimals);
  module.set_data(options.unit.mode);
  module.call("SetAlign");
  const std::int32_t count = module.number_answer("ListDrives");
  for (std::int32_t index = 0; index < count; ++index) {
    report.drives.push_back(listed_drive(module, index, options.decimals));
  }
  for (char letter = 'A'; letter <= 'Z'; ++letter) {
    const std::uint32_t type = binding.drive_type(letter);
    if (type == win32::kDriveNoRootDir) continue;
    const bool listed = std::any_of(report.drives.begin(), report.drives.end(),
                                    [&](const ListedDrive& drive) {
                                      return drive.letter == std::string_view(&letter, 1);
                                    });
    if (!listed) report.unlisted_drives.push_back({letter, drive_type_name(type)});
  }

  for (const std::int32_t disk : {0, 1}) report.disks.push_back(disk_report(module, disk));
  return report;
}

void print_report(HostBinding& binding, const ReportOptions& options, std::ostream& out) {
  const ReportData report = ask_for_report(binding, options);
  if (options.json) {
    print_json_report(report, out);
  } else {
    print_text_report(report, out);
  }
}

}  // namespace korvex::host_tool
