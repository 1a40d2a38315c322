// The host-facing exports of the module frame: the value exchange, the
// module's information texts and the system error text.
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
  // Pushes the text; the trigger word "Quex", exactly, also shows the
  // module's one message box, which blocks until the user closes it.
  void set_file(const char* text);
  const char* get_file() const;
  static const char* info_text();
  static const char* copyright_text();
  // Text result := the message text of the calling thread's last error code,
  // read before anything else can change it.
  void get_error_message();

 private:
  Platform& platform_;
  ValueExchange& exchange_;
};

}  // namespace korvex
