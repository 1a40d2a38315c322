#include "host/event_names.h"

namespace korvex {

void EventNames::rename(const std::string& identifier, const std::string& new_name) {
  if (identifier == "ID_OnEnum") names_[0] = new_name;
}

}  // namespace korvex
