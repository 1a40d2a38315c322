// The names of the host's two events. The host may rename the first one by
// pushing its identifier and then the new name onto the text stack.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "exchange/module_text.h"

namespace korvex {

class EventNames {
 public:
  static constexpr int kEvents = 2;

  // Only the identifier "ID_OnEnum", exactly, is recognised: it renames the
  // first event; anything else changes nothing.
  void rename(std::string_view identifier, std::string_view new_name);

  const std::string& name(int index) const { return names_[static_cast<std::size_t>(index)].str(); }

 private:
  std::array<ModuleText, kEvents> names_{ModuleText("OnEnum"), ModuleText("OnProgress")};
};

}  // namespace korvex
