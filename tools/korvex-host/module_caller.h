// How a host program calls the module: each export found by name through a
// binding and called with the shape the export table gives it. korvex-host
// and the Windows tests both call the module through this.
#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "module/export_table.h"

namespace korvex::host_tool {

struct HostError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// Where the module's exports are: the real Korvex.dll, or the module linked
// into the program.
class ModuleBinding {
 public:
  virtual ~ModuleBinding() = default;
  // The export's address, or nullptr when the module does not have it.
  virtual void* find(const char* name) const = 0;
};

struct Argument {
  enum class Kind { kInteger, kText, kNull } kind;
  std::int32_t integer = 0;
  std::string text;
};

// Calls an export with arguments that fit its shape; returns the printed form
// of its result, or nothing for an export without one.
std::optional<std::string> call_export(const ExportEntry& entry, void* address,
                                       const std::vector<Argument>& arguments);

// Typed calls, as a host makes them; a missing export is a HostError.
class ModuleCaller {
 public:
  explicit ModuleCaller(const ModuleBinding& binding) : binding_(binding) {}

  void call(const char* name) const;
  void set_data(std::int32_t value) const;
  std::int32_t get_data() const;
  void set_file(const char* text) const;
  void set_parent_window(std::uintptr_t window) const;
  // SetAlign with its two inputs: the decimals go to slot 1, the mode (-1
  // automatic, 0 B, 1 KB, 2 MB, 3 GB) to slot 0, pushed last.
  void set_align(std::int32_t mode, std::int32_t decimals) const;
  std::string get_file() const;
  std::string text_of(const char* name) const;  // an export that returns a text
  // Calls a query and reads its answer from the text result or the result slot.
  std::string text_answer(const char* query) const;
  std::int32_t number_answer(const char* query) const;
  // GetHddInfo for a device number: the serial text and the error code it reports.
  std::pair<std::string, std::int32_t> hdd_info(std::int32_t device_number) const;

 private:
  void* require(const char* name) const;

  const ModuleBinding& binding_;
};

}  // namespace korvex::host_tool
