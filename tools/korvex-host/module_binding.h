// Where the host program finds the module's exports, and how it calls them.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "export_catalog.h"

#if defined(_WIN32) && defined(__i386__)
#define KORVEX_CDECL __cdecl
#else
#define KORVEX_CDECL
#endif

namespace korvex::host_tool {

struct HostError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

class ModuleBinding {
 public:
  virtual ~ModuleBinding() = default;
  // The export's address, or nullptr when the module does not have it.
  virtual void* find(const char* name) = 0;
};

// The real Korvex.dll through LoadLibrary (Windows), or the linked module on a
// simulated machine (native). Options are those of the command line.
struct BindingOptions {
  std::string module_path;   // Windows: empty for the DLL beside the program
  std::string machine_path;  // native: empty for the default machine
  bool trace = false;        // native: every platform call to standard error
};
std::unique_ptr<ModuleBinding> bind_module(const BindingOptions& options);

struct Argument {
  enum class Kind { kInteger, kText, kNull } kind;
  std::int32_t integer = 0;
  std::string text;
};

// Calls an export with arguments that fit its shape; returns the printed form
// of its result, or nothing for an export without one.
std::optional<std::string> call_export(const ExportShape& shape, void* address,
                                       const std::vector<Argument>& arguments);

// Typed calls for the report; a missing export is a HostError.
class ModuleCalls {
 public:
  explicit ModuleCalls(ModuleBinding& binding) : binding_(binding) {}
  void call(const char* name);
  void set_data(std::int32_t value);
  std::int32_t get_data();
  std::string get_file();
  std::string text_of(const char* name);  // an export that returns a text
  // Calls a query and reads its answer from the text result or the result slot.
  std::string text_answer(const char* query);
  std::int32_t number_answer(const char* query);

 private:
  void* require(const char* name);
  ModuleBinding& binding_;
};

}  // namespace korvex::host_tool
