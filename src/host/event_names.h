// The names of the host's two events. The host may rename the first one by
// pushing its identifier and then the new name onto the text stack.
#pragma once

#include <array>
#include <string>

#include "host/value_exchange.h"

namespace korvex {

class EventNames {
 public:
  static constexpr int kEvents = 2;

  explicit EventNames(const ValueExchange& exchange) : exchange_(exchange) {}

  // Text slot 1 names the event, text slot 0 is its new name; only the
  // identifier "ID_OnEnum" is recognised, anything else changes nothing.
  void rename();

  const std::string& name(int index) const { return names_[static_cast<std::size_t>(index)]; }

 private:
  const ValueExchange& exchange_;
  std::array<std::string, kEvents> names_{"OnEnum", "OnProgress"};
};

}  // namespace korvex
