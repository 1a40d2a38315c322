#include "module_caller.h"

#include "korvex.h"
#include "support/quoted_text.h"

namespace korvex::host_tool {
namespace {

// The function types of korvex.h, as GetProcAddress gives them: each export
// of the table has the shape of one of these.
using IntegerCall = KorvexSetDataProc;
using TextCall = KorvexSetFileProc;
using WindowCall = KorvexSetParentWindowProc;
using FiveIntegerCall = KorvexDrawProc;
using VoidCall = KorvexListDrivesProc;
using IntegerResult = KorvexGetDataProc;
using TextResult = KorvexGetFileProc;

template <typename Function>
Function as(void* address) {
  return reinterpret_cast<Function>(address);
}

const char* text_pointer(const Argument& argument) {
  return argument.kind == Argument::Kind::kNull ? nullptr : argument.text.c_str();
}

}  // namespace

std::optional<std::string> call_export(const ExportEntry& entry, void* address,
                                       const std::vector<Argument>& arguments) {
  switch (entry.arguments) {
    case Arguments::kInteger: as<IntegerCall>(address)(arguments.at(0).integer); break;
    case Arguments::kText: as<TextCall>(address)(text_pointer(arguments.at(0))); break;
    case Arguments::kWindow:
      as<WindowCall>(address)(static_cast<std::uint32_t>(arguments.at(0).integer));
      break;
    case Arguments::kFiveIntegers:
      as<FiveIntegerCall>(address)(arguments.at(0).integer, arguments.at(1).integer,
                                   arguments.at(2).integer, arguments.at(3).integer,
                                   arguments.at(4).integer);
      break;
    case Arguments::kNone:
      switch (entry.returns) {
        case Returns::kNumber: return std::to_string(as<IntegerResult>(address)());
        case Returns::kText: {
          const char* text = as<TextResult>(address)();
          return text == nullptr ? "null" : quoted_text(text);
        }
        case Returns::kNothing: as<VoidCall>(address)(); break;
      }
      break;
  }
  return std::nullopt;
}

void* ModuleCaller::require(const char* name) const {
  void* address = binding_.find(name);
  if (address == nullptr) throw HostError(std::string("the module has no export ") + name);
  return address;
}

void ModuleCaller::call(const char* name) const { as<VoidCall>(require(name))(); }

void ModuleCaller::set_data(std::int32_t value) const {
  as<IntegerCall>(require("SetData"))(value);
}

std::int32_t ModuleCaller::get_data() const { return as<IntegerResult>(require("GetData"))(); }

void ModuleCaller::set_file(const char* text) const { as<TextCall>(require("SetFile"))(text); }

void ModuleCaller::set_parent_window(std::uintptr_t window) const {
  as<WindowCall>(require("SetParentWindow"))(window);
}

void ModuleCaller::set_align(std::int32_t mode, std::int32_t decimals) const {
  set_data(decimals);
  set_data(mode);
  call("SetAlign");
}

std::string ModuleCaller::get_file() const { return text_of("GetFile"); }

std::string ModuleCaller::text_of(const char* name) const {
  const char* text = as<TextResult>(require(name))();
  return text == nullptr ? std::string() : std::string(text);
}

std::string ModuleCaller::text_answer(const char* query) const {
  call(query);
  return get_file();
}

std::int32_t ModuleCaller::number_answer(const char* query) const {
  call(query);
  return get_data();
}

std::pair<std::string, std::int32_t> ModuleCaller::hdd_info(std::int32_t device_number) const {
  set_data(device_number);
  call("GetHddInfo");
  return {get_file(), get_data()};
}

}  // namespace korvex::host_tool
