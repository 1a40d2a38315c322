// The host-facing exports of the module frame: the value exchange and the
// module's information texts.
#pragma once

#include <cstdint>

#include "host/value_exchange.h"
#include "platform/platform.h"

namespace korvex {

class HostInterface {
 public:
  HostInterface(Platform& platform, ValueExchange& exchange);

  void set_data(std::int32_t value);
  std::int32_t get_data() const;
  void set_file(const char* text);
  const char* get_file() const;
  static const char* info_text();
  static const char* copyright_text();

 private:
  Platform& platform_;
  ValueExchange& exchange_;
};

}  // namespace korvex
