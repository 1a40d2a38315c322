// Korvex.dll loaded the way a host loads it, with its exports found by name.
#pragma once

#include <cstdint>
#include <string>
#include <utility>

#include "platform/win32/library_loader.h"

namespace korvex::testing {

class KorvexDll {
 public:
  KorvexDll();
  bool loaded() const { return library_.loaded(); }

  template <typename Function>
  Function find(const char* name) const {
    return reinterpret_cast<Function>(library_.find(name));
  }

  void call(const char* name) const;
  void set_data(std::int32_t value) const;
  std::int32_t get_data() const;
  void set_file(const char* text) const;
  void set_parent_window(std::uintptr_t window) const;
  std::string get_file() const;
  std::string text_of(const char* name) const;
  // GetHddInfo for a device number: the serial text and the error code it reports.
  std::pair<std::string, std::int32_t> hdd_info(std::int32_t device_number) const;

 private:
  LoadedLibrary library_;
};

}  // namespace korvex::testing
