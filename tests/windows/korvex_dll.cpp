#include "korvex_dll.h"

#include <stdexcept>

namespace korvex::testing {
namespace {

template <typename Function>
Function require(const KorvexDll& dll, const char* name) {
  const auto function = dll.find<Function>(name);
  if (function == nullptr) throw std::runtime_error(std::string("no export ") + name);
  return function;
}

}  // namespace

KorvexDll::KorvexDll() : library_(program_directory() + "Korvex.dll") {}

void KorvexDll::call(const char* name) const { require<void(__cdecl*)()>(*this, name)(); }

void KorvexDll::set_data(std::int32_t value) const {
  require<void(__cdecl*)(std::int32_t)>(*this, "SetData")(value);
}

std::int32_t KorvexDll::get_data() const {
  return require<std::int32_t(__cdecl*)()>(*this, "GetData")();
}

void KorvexDll::set_file(const char* text) const {
  require<void(__cdecl*)(const char*)>(*this, "SetFile")(text);
}

void KorvexDll::set_parent_window(std::uintptr_t window) const {
  require<void(__cdecl*)(std::uintptr_t)>(*this, "SetParentWindow")(window);
}

std::string KorvexDll::get_file() const { return text_of("GetFile"); }

std::pair<std::string, std::int32_t> KorvexDll::hdd_info(std::int32_t device_number) const {
  set_data(device_number);
  call("GetHddInfo");
  return {get_file(), get_data()};
}

std::string KorvexDll::text_of(const char* name) const {
  return require<const char*(__cdecl*)()>(*this, name)();
}

}  // namespace korvex::testing
