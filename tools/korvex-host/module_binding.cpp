#include "module_binding.h"

#include "support/quoted_text.h"

namespace korvex::host_tool {
namespace {

using VoidCall = void(KORVEX_CDECL*)();
using IntegerCall = void(KORVEX_CDECL*)(std::int32_t);
using TextCall = void(KORVEX_CDECL*)(const char*);
using WindowCall = void(KORVEX_CDECL*)(std::uintptr_t);
using FiveIntegerCall = void(KORVEX_CDECL*)(std::int32_t, std::int32_t, std::int32_t, std::int32_t,
                                            std::int32_t);
using IntegerResult = std::int32_t(KORVEX_CDECL*)();
using TextResult = const char*(KORVEX_CDECL*)();

template <typename Function>
Function as(void* address) {
  return reinterpret_cast<Function>(address);
}

const char* text_pointer(const Argument& argument) {
  return argument.kind == Argument::Kind::kNull ? nullptr : argument.text.c_str();
}

}  // namespace

std::optional<std::string> call_export(const ExportShape& shape, void* address,
                                       const std::vector<Argument>& arguments) {
  switch (shape.arguments) {
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
      switch (shape.returns) {
        case Returns::kNumber: return std::to_string(as<IntegerResult>(address)());
        case Returns::kString: {
          const char* text = as<TextResult>(address)();
          return text == nullptr ? "null" : quoted_text(text);
        }
        case Returns::kNothing: as<VoidCall>(address)(); break;
      }
      break;
  }
  return std::nullopt;
}

void* ModuleCalls::require(const char* name) {
  void* address = binding_.find(name);
  if (address == nullptr) throw HostError(std::string("the module has no export ") + name);
  return address;
}

void ModuleCalls::call(const char* name) { as<VoidCall>(require(name))(); }

void ModuleCalls::set_data(std::int32_t value) { as<IntegerCall>(require("SetData"))(value); }

std::int32_t ModuleCalls::get_data() { return as<IntegerResult>(require("GetData"))(); }

std::string ModuleCalls::get_file() { return text_of("GetFile"); }

std::string ModuleCalls::text_answer(const char* query) {
  call(query);
  return get_file();
}

std::int32_t ModuleCalls::number_answer(const char* query) {
  call(query);
  return get_data();
}

std::string ModuleCalls::text_of(const char* name) {
  const char* text = as<TextResult>(require(name))();
  return text == nullptr ? std::string() : std::string(text);
}

}  // namespace korvex::host_tool
